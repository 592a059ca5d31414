#include "editors/EditorController.h"

#include "editors/EditorLayout.h"
#include "editors/VirtualKeys.h"
#include "engine/AudioEngine.h"

namespace vantreel {

EditorController::EditorController(AudioEngine& engine)
    : engine(engine), history(engine), pattern(engine), arrangement(engine), clipboard(engine) {
    pattern.history = &history;
    arrangement.history = &history;
    clipboard.history = &history;
}

std::string EditorController::Undo() {
    return history.Undo();
}

std::string EditorController::Redo() {
    return history.Redo();
}

// Alt combinations are the system's keys and never edit. The arrangement editor gets
// the keys while it has the focus; otherwise the pattern editor does.
bool EditorController::KeyDown(int vkey, int modifiers, bool /*autoRepeat*/) {
    if (modifiers & kAltModifier) {
        return false;
    }
    if (engine.editor.patternFocus == 0) {
        bool slotChanged = false;
        const bool repaint = arrangement.KeyDown(vkey, slotChanged);
        if (slotChanged && refreshControlPanel) {
            refreshControlPanel();
        }
        return repaint;
    }
    return pattern.KeyDown(vkey, modifiers);
}

// Letter and digit releases end the track's preview whichever editor has the keys.
bool EditorController::KeyUp(int vkey) {
    pattern.KeyUp(vkey);
    return false;
}

bool EditorController::MouseDown(int /*x*/, int y) {
    engine.editor.patternFocus = y < layout::kArrangementHeight ? 0 : 1;
    return true;
}

bool EditorController::NextPattern() {
    return pattern.NextPattern();
}
bool EditorController::PreviousPattern() {
    return pattern.PreviousPattern();
}
bool EditorController::NextOctave() {
    return pattern.NextOctave();
}
bool EditorController::PreviousOctave() {
    return pattern.PreviousOctave();
}

bool EditorController::ToggleEditMode() {
    pattern.ToggleEditMode();
    return false;
}

bool EditorController::ToggleSlaveCursor() {
    pattern.ToggleSlaveCursor();
    return false;
}

bool EditorController::BlockStart() {
    if (engine.editor.patternFocus != 0) {
        pattern.MarkBlockStart();
    } else {
        arrangement.MarkLoopStart();
    }
    return true;
}

bool EditorController::BlockEnd() {
    if (engine.editor.patternFocus != 0) {
        pattern.MarkBlockEnd();
    } else {
        arrangement.MarkSongEnd();
    }
    return true;
}

bool EditorController::NextSlot() {
    arrangement.StepSlot(1);
    if (refreshControlPanel) {
        refreshControlPanel();
    }
    return true;
}

bool EditorController::PreviousSlot() {
    arrangement.StepSlot(-1);
    if (refreshControlPanel) {
        refreshControlPanel();
    }
    return true;
}

} // namespace vantreel
