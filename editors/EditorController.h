#pragma once
// The keyboard, mouse and command entry points of the editor view: what the window
// calls for every key press, key release, click and editor command. Each returns
// true when the view must be repainted (a full repaint without erasing).
//
// The window keeps one EditorController per view, built with the engine:
//   KeyDown(vk, modifiers, autoRepeat) for every key press that is not an
//     accelerator (see editors/VirtualKeys.h); auto-repeated presses included;
//   KeyUp(vk) for every real release; NOT for the releases a platform generates
//     while a key auto-repeats;
//   MouseDown(x, y) for a left-button press (the window also takes the focus);
//   the command operations below for the menu items and accelerators.
// Transport stays on the engine: PlayPattern(), PlaySong(), StopPlayback().
//
// Threads: the user-interface thread only.

#include "editors/ArrangementEditorKeys.h"
#include "editors/PatternClipboard.h"
#include "editors/PatternEditorKeys.h"
#include "editors/UndoHistory.h"
#include "editors/VirtualKeys.h"

#include <functional>
#include <string>

namespace vantreel {

class AudioEngine;

class EditorController {
public:
    explicit EditorController(AudioEngine& engine);

    bool KeyDown(int vkey, int modifiers, bool autoRepeat);
    bool KeyUp(int vkey);
    bool MouseDown(int x, int y); // y < 216: arrangement gets the keys, else the pattern

    // Main-frame commands.
    bool NextPattern();       // keypad +
    bool PreviousPattern();   // keypad -
    bool NextOctave();        // keypad *
    bool PreviousOctave();    // keypad /
    bool ToggleEditMode();    // Space; returns false (nothing on the view shows it)
    bool ToggleSlaveCursor(); // Shift+S; returns false
    bool BlockStart();        // Ctrl+B: pattern block corner or song loop start
    bool BlockEnd();          // Ctrl+E: pattern block corner or song end
    bool NextSlot();          // current slot + 1 (15 wraps to 0); calls refreshControlPanel
    bool PreviousSlot();      // current slot - 1 (0 wraps to 15); calls refreshControlPanel

    // Called after the current slot changes, to copy the model into the control
    // panel. Empty until the window sets it.
    std::function<void()> refreshControlPanel;

    // Block, pattern and track cut, copy and paste.
    PatternClipboard& Clipboard() { return clipboard; }

    PatternEditorKeys& PatternKeys() { return pattern; }

    // Every change made through the editors, the panel and the dialogs.
    UndoHistory& History() { return history; }
    // The status text ("Undo: Block paste"), or "" when there was nothing to undo.
    std::string Undo();
    std::string Redo();

private:
    AudioEngine& engine;
    UndoHistory history;
    PatternEditorKeys pattern;
    ArrangementEditorKeys arrangement;
    PatternClipboard clipboard;
};

} // namespace vantreel
