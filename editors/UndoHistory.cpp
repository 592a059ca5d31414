#include "editors/UndoHistory.h"

#include "editors/EditApply.h"
#include "editors/EditorStateAccess.h"
#include "engine/AudioEngine.h"

#include <utility>

namespace vantreel {

namespace {

const char* const kUndoPrefix = "Undo: ";
const char* const kRedoPrefix = "Redo: ";

// Where the cursor's fields point, held inside the song.
int32_t Clamped(int32_t value, int32_t count) {
    return std::clamp<int32_t>(value, 0, count - 1);
}

} // namespace

EditPlace CurrentEditPlace(const AudioEngine& engine) {
    const EditorState& e = engine.editor;
    EditPlace place;
    place.slot = CurrentSlotIndex(engine);
    place.pattern = CurrentPatternIndex(engine);
    place.line = Clamped(e.cursorLine, kPatternLines);
    place.track = CursorTrackIndex(engine);
    place.column = e.cursorColumn;
    place.focus = e.patternFocus != 0 ? 1 : 0;
    place.seqLine = Clamped(e.seqCursorLine, kArrangementLines);
    return place;
}

UndoHistory::UndoHistory(AudioEngine& engine, std::size_t byteLimit)
    : engine(engine), byteLimit(byteLimit) {}

bool UndoHistory::Record(EditStep step, bool keepOpen) {
    if (step.Empty()) {
        return true;
    }
    engine.modified.Mark();
    EndCoalescing();
    redoSteps.clear();
    const std::size_t stepBytes = step.Bytes();
    if (stepBytes > byteLimit) {
        Clear();
        return false;
    }
    undoSteps.push_back(std::move(step));
    undoSteps.back().open = keepOpen;
    bytes += stepBytes;
    while (bytes > byteLimit) {
        DropOldest();
    }
    Changed();
    return true;
}

void UndoHistory::Changed() {
    if (changed) {
        changed();
    }
}

void UndoHistory::DropOldest() {
    bytes -= undoSteps.front().Bytes();
    undoSteps.pop_front();
}

void UndoHistory::ChangeSetting(SongSetting setting, int slot, int32_t value, bool continuing) {
    const int32_t before = ReadSongSetting(engine.song, setting, slot);
    StoreSongSetting(engine.song, setting, slot, value);
    const int32_t after = ReadSongSetting(engine.song, setting, slot);
    EditStep* open = continuing ? OpenStep() : nullptr;
    if (open != nullptr && open->setting && open->setting->setting == setting &&
        open->setting->slot == (IsSlotSetting(setting) ? slot : 0)) {
        open->setting->after = after;
        Extended();
        return;
    }
    if (after == before) {
        return;
    }
    EditStep step;
    step.kind = EditKind::Setting;
    step.place = CurrentEditPlace(engine);
    step.setting = SettingChange{setting, IsSlotSetting(setting) ? slot : 0, before, after};
    Record(std::move(step), continuing);
}

EditStep* UndoHistory::OpenStep() {
    if (undoSteps.empty() || !redoSteps.empty() || !undoSteps.back().open) {
        return nullptr;
    }
    return &undoSteps.back();
}

void UndoHistory::Extended() {
    engine.modified.Mark();
}

void UndoHistory::EndCoalescing() {
    if (!undoSteps.empty()) {
        undoSteps.back().open = false;
    }
}

std::string UndoHistory::Undo() {
    if (undoSteps.empty()) {
        return {};
    }
    EndCoalescing();
    EditStep step = std::move(undoSteps.back());
    undoSteps.pop_back();
    bytes -= step.Bytes();
    ApplyEditStep(engine, step, EditDirection::Back);
    engine.modified.Mark();
    std::string status = kUndoPrefix + std::string(step.Name());
    redoSteps.push_back(std::move(step));
    Changed();
    return status;
}

std::string UndoHistory::Redo() {
    if (redoSteps.empty()) {
        return {};
    }
    EditStep step = std::move(redoSteps.back());
    redoSteps.pop_back();
    ApplyEditStep(engine, step, EditDirection::Forward);
    engine.modified.Mark();
    std::string status = kRedoPrefix + std::string(step.Name());
    // The redo list only ever holds what the undo list gave up, so this stays in bounds.
    bytes += step.Bytes();
    undoSteps.push_back(std::move(step));
    Changed();
    return status;
}

void UndoHistory::Clear() {
    undoSteps.clear();
    redoSteps.clear();
    bytes = 0;
    Changed();
}

std::string UndoHistory::NextUndoName() const {
    return undoSteps.empty() ? std::string() : std::string(undoSteps.back().Name());
}

} // namespace vantreel
