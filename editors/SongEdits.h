#pragma once
// The changes the windows make to the song outside the editors' keys, each recorded
// as one step of the history when one is given: the pattern's name and length from
// its properties, and loading or deleting a slot's plug-in with its whole record.
//
// Threads: user-interface thread.

#include "engine/PluginCommands.h"

#include <cstdint>
#include <functional>
#include <string>

namespace vantreel {

class AudioEngine;
class UndoHistory;

// The current pattern's name (at most 63 characters kept) and length. While
// `continuing` (the same dialog still open) a change extends the open step of the
// same pattern, so typing a name is one step.
void RenameCurrentPattern(AudioEngine& engine, UndoHistory* history, const char* name,
                          bool continuing);
void ResizeCurrentPattern(AudioEngine& engine, UndoHistory* history, uint16_t lines,
                          bool continuing);

// "Open..." and "Delete" (engine/PluginCommands.h), undoable: the slot's record
// before and after, and for Delete the pattern bank when it is cleared.
PluginOpenResult OpenPluginRecorded(AudioEngine& engine, UndoHistory* history,
                                    const std::string& name);
void DeletePluginRecorded(AudioEngine& engine, UndoHistory* history,
                          const std::function<bool()>& askClearPatternBank);

} // namespace vantreel
