#pragma once
// The song arrangement editor's keys: pattern letters, breaks and empty entries at
// the arrangement cursor, cursor steps with scrolling, slot stepping and the song
// loop range. Reached through EditorController.
//
// Threads: the user-interface thread only; every write is a single store.

namespace vantreel {

class AudioEngine;
class UndoHistory;

class ArrangementEditorKeys {
public:
    explicit ArrangementEditorKeys(AudioEngine& engine);

    // A key press while the arrangement has the keys. Sets `slotChanged` when the
    // current slot moved (the caller refreshes the control panel). Returns true to
    // repaint.
    bool KeyDown(int vkey, bool& slotChanged);

    void MoveCursor(int steps); // by steps x seqStep lines, scrolling to follow
    void StepSlot(int delta);   // wraps within 0..15; resets the current parameter
    void MarkLoopStart();       // loopStart = seqCursorLine
    void MarkSongEnd();         // songEnd = seqCursorLine

    // Where entry and loop changes are recorded; none, and nothing is, until it is set.
    UndoHistory* history = nullptr;

private:
    void SetEntry(int patternCode);

    AudioEngine& engine;
};

} // namespace vantreel
