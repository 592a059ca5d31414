#pragma once
// The pattern editor's keys and commands: cursor movement, the channel keys, hex
// entry, note entry with its preview on the current slot's plug-in, and the key
// release that ends the preview. Reached through EditorController.
//
// Threads: the user-interface thread only. Note entry and the key release hold the
// engine lock; every other write is a single store.

namespace vantreel {

class AudioEngine;
class UndoHistory;

class PatternEditorKeys {
public:
    explicit PatternEditorKeys(AudioEngine& engine);

    // A key press while the pattern editor has the keys. Returns true to repaint.
    bool KeyDown(int vkey, int modifiers);
    // A real key release, whichever editor has the keys.
    void KeyUp(int vkey);

    bool NextPattern();
    bool PreviousPattern();
    bool NextOctave();
    bool PreviousOctave();
    void ToggleEditMode();
    void ToggleSlaveCursor();
    void MarkBlockStart(); // the block's first corner at the cursor
    void MarkBlockEnd();   // the block's last corner at the cursor

    // Outside edit mode a note sounds once per press: a release re-arms it.
    bool keyReleased = false;
    // Where cell changes are recorded; none, and nothing is, until it is set.
    UndoHistory* history = nullptr;

private:
    bool NavigationKey(int vkey, int modifiers);
    bool HexKey(int vkey);
    bool NoteColumnKey(int vkey);
    enum class CellKind { Note, Clear, Mark };
    bool WriteCell(CellKind kind, int note);
    void MoveCursorLine(int delta);
    void MoveCursorColumn(int delta);

    AudioEngine& engine;
};

} // namespace vantreel
