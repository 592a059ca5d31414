#include "editors/ArrangementEditorKeys.h"

#include "editors/EditorLayout.h"
#include "editors/EditorStateAccess.h"
#include "editors/SlotStep.h"
#include "editors/UndoHistory.h"
#include "editors/VirtualKeys.h"
#include "engine/AudioEngine.h"

namespace vantreel {

namespace {

constexpr int kPageSteps = 16;
constexpr int kLastShownRow = layout::kArrangementRows - 1;

} // namespace

ArrangementEditorKeys::ArrangementEditorKeys(AudioEngine& engine) : engine(engine) {}

bool ArrangementEditorKeys::KeyDown(int vkey, bool& slotChanged) {
    slotChanged = false;
    if (vk::IsLetter(vkey)) {
        SetEntry(vkey - vk::A);
        MoveCursor(1);
        return true;
    }
    switch (vkey) {
    case vk::Key1:
        SetEntry(kPatternCodeBreak);
        MoveCursor(1);
        return true;
    case vk::Delete:
        SetEntry(kPatternCodeEmpty);
        MoveCursor(1);
        return true;
    case vk::Up:
        MoveCursor(-1);
        return true;
    case vk::Down:
        MoveCursor(1);
        return true;
    case vk::PageUp:
        MoveCursor(-kPageSteps);
        return true;
    case vk::PageDown:
        MoveCursor(kPageSteps);
        return true;
    case vk::Left:
        StepSlot(-1);
        slotChanged = true;
        return true;
    case vk::Right:
        StepSlot(1);
        slotChanged = true;
        return true;
    default:
        return false;
    }
}

// Only the pattern code changes; the auxiliary byte stays as it is.
void ArrangementEditorKeys::SetEntry(int patternCode) {
    const int line = engine.editor.seqCursorLine;
    if (line < 0 || line >= kArrangementLines) {
        return;
    }
    const int slot = CurrentSlotIndex(engine);
    const ArrangementEntry before = engine.song.arrangement.Get(line, slot);
    ArrangementEntry entry = before;
    entry.patternCode = uint8_t(patternCode);
    engine.song.arrangement.Set(line, slot, entry);
    if (history != nullptr && !(entry == before)) {
        EditStep step;
        step.kind = patternCode == kPatternCodeBreak   ? EditKind::ArrangementBreak
                    : patternCode == kPatternCodeEmpty ? EditKind::ArrangementDeletion
                                                       : EditKind::ArrangementEntry;
        step.place = CurrentEditPlace(engine);
        step.entries.push_back({line, slot, before, entry});
        history->Record(std::move(step));
    }
}

// Below the first line the cursor stops at 0; at the end it stops on the last line
// it can reach in whole steps, so it stays on the rows the editor shows.
void ArrangementEditorKeys::MoveCursor(int steps) {
    EditorState& e = engine.editor;
    const int step = SeqStep(engine);
    const int current = std::clamp<int>(e.seqCursorLine, 0, kArrangementLines - 1);
    int64_t line = current + int64_t(steps) * step;
    if (line < 0) {
        line = 0;
    } else if (line > kArrangementLines - 1) {
        line = current + int64_t((kArrangementLines - 1 - current) / step) * step;
    }
    e.seqCursorLine = int32_t(line);

    const int64_t lastShownOffset = int64_t(kLastShownRow) * step;
    if (line > e.seqScrollLine + lastShownOffset) {
        e.seqScrollLine = int32_t(line - lastShownOffset);
    }
    if (line < e.seqScrollLine) {
        e.seqScrollLine = int32_t(line);
    }
}

void ArrangementEditorKeys::StepSlot(int delta) {
    engine.editor.currentSlot = SteppedSlot(engine.editor.currentSlot, delta);
    engine.editor.currentParameter = 0;
}

void ArrangementEditorKeys::MarkLoopStart() {
    if (history != nullptr) {
        history->ChangeSetting(SongSetting::LoopStart, 0, engine.editor.seqCursorLine, false);
    } else {
        engine.SetLoopStartAtCursor();
    }
}

void ArrangementEditorKeys::MarkSongEnd() {
    if (history != nullptr) {
        history->ChangeSetting(SongSetting::SongEnd, 0, engine.editor.seqCursorLine, false);
    } else {
        engine.SetSongEndAtCursor();
    }
}

} // namespace vantreel
