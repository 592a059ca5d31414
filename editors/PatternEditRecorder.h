#pragma once
// Records what one command does to patterns as one step of the history: made before
// the command runs, committed after it. Without a history it does nothing at all.
//
// Threads: user-interface thread.

#include "editors/EditKind.h"
#include "editors/EditStep.h"
#include "editors/PatternSnapshot.h"

#include <optional>

namespace vantreel {

class AudioEngine;
class UndoHistory;

class PatternEditRecorder {
public:
    // The pattern the editor shows.
    PatternEditRecorder(AudioEngine& engine, UndoHistory* history, EditKind kind);
    // Patterns `first` to `last` of `slot`.
    PatternEditRecorder(AudioEngine& engine, UndoHistory* history, EditKind kind, int slot,
                        int first, int last);

    // Records the differences as one step (none when nothing changed).
    void Commit();

private:
    AudioEngine& engine;
    UndoHistory* history;
    EditStep step;
    std::optional<PatternSnapshot> before;
};

} // namespace vantreel
