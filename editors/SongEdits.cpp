#include "editors/SongEdits.h"

#include "editors/EditorStateAccess.h"
#include "editors/PatternSnapshot.h"
#include "editors/UndoHistory.h"
#include "engine/SlotRecord.h"

#include <cstring>
#include <memory>
#include <utility>

namespace vantreel {

namespace {

PatternHeaderChange HeaderOf(const Pattern& pattern, int index) {
    PatternHeaderChange header{};
    header.pattern = uint8_t(index);
    header.lengthBefore = header.lengthAfter = pattern.Length();
    std::memcpy(header.nameBefore, pattern.name, kTextSize);
    std::memcpy(header.nameAfter, pattern.name, kTextSize);
    return header;
}

void SetAfter(PatternHeaderChange& header, const Pattern& pattern) {
    header.lengthAfter = pattern.Length();
    std::memcpy(header.nameAfter, pattern.name, kTextSize);
}

bool Unchanged(const PatternHeaderChange& h) {
    return h.lengthBefore == h.lengthAfter &&
           std::memcmp(h.nameBefore, h.nameAfter, kTextSize) == 0;
}

template <typename Change>
void ChangeHeader(AudioEngine& engine, UndoHistory* history, EditKind kind, bool continuing,
                  Change change) {
    const int slot = CurrentSlotIndex(engine);
    const int index = CurrentPatternIndex(engine);
    Pattern& pattern = engine.song.slots[slot].patterns[index];
    PatternHeaderChange header = HeaderOf(pattern, index);
    change(pattern);
    SetAfter(header, pattern);
    if (history == nullptr) {
        return;
    }
    EditStep* open = continuing ? history->OpenStep() : nullptr;
    if (open != nullptr && open->kind == kind && open->slot == slot && open->headers.size() == 1 &&
        open->headers.front().pattern == index) {
        SetAfter(open->headers.front(), pattern);
        history->Extended();
        return;
    }
    if (Unchanged(header)) {
        return;
    }
    EditStep step;
    step.kind = kind;
    step.place = CurrentEditPlace(engine);
    step.slot = slot;
    step.headers.push_back(header);
    history->Record(std::move(step), continuing);
}

// Null when the plug-in's state cannot be written down.
std::shared_ptr<const SlotRecordImage> Capture(AudioEngine& engine, int slot) {
    auto image = std::make_shared<SlotRecordImage>();
    std::string problem;
    if (!CaptureSlotRecord(engine, slot, *image, problem)) {
        return nullptr;
    }
    image->bytes.shrink_to_fit();
    return image;
}

bool SameRecord(const SlotRecordImage& a, const SlotRecordImage& b) {
    return a.bytes == b.bytes && a.missing.kept == b.missing.kept &&
           a.missing.bytes == b.missing.bytes && a.extension.longName == b.extension.longName;
}

// Keeps the slot's change in `step` and records it. A record that could not be written
// down cannot be put back, and nothing recorded earlier can be undone across it.
void RecordSlotChange(AudioEngine& engine, UndoHistory& history, EditStep step,
                      std::shared_ptr<const SlotRecordImage> before,
                      std::shared_ptr<const SlotRecordImage> after) {
    if (!before || !after) {
        history.Clear();
        engine.modified.Mark();
        return;
    }
    if (!SameRecord(*before, *after)) {
        step.recordBefore = std::move(before);
        step.recordAfter = std::move(after);
    }
    history.Record(std::move(step));
}

EditStep SlotStep(AudioEngine& engine, EditKind kind, int slot) {
    EditStep step;
    step.kind = kind;
    step.place = CurrentEditPlace(engine);
    step.slot = slot;
    return step;
}

} // namespace

void RenameCurrentPattern(AudioEngine& engine, UndoHistory* history, const char* name,
                          bool continuing) {
    ChangeHeader(engine, history, EditKind::PatternName, continuing,
                 [name](Pattern& pattern) { pattern.SetName(name); });
}

void ResizeCurrentPattern(AudioEngine& engine, UndoHistory* history, uint16_t lines,
                          bool continuing) {
    ChangeHeader(engine, history, EditKind::PatternLength, continuing,
                 [lines](Pattern& pattern) { pattern.SetLength(lines); });
}

// A load that fails has closed the plug-in that was there: undo brings it back too.
PluginOpenResult OpenPluginRecorded(AudioEngine& engine, UndoHistory* history,
                                    const std::string& name) {
    if (history == nullptr) {
        return OpenPluginCommand(engine, name);
    }
    const int slot = CurrentSlotIndex(engine);
    EditStep step = SlotStep(engine, EditKind::PluginOpen, slot);
    auto before = Capture(engine, slot);
    PluginOpenResult result = OpenPluginCommand(engine, name);
    RecordSlotChange(engine, *history, std::move(step), std::move(before), Capture(engine, slot));
    return result;
}

void DeletePluginRecorded(AudioEngine& engine, UndoHistory* history,
                          const std::function<bool()>& askClearPatternBank) {
    if (history == nullptr) {
        DeletePluginCommand(engine, askClearPatternBank);
        return;
    }
    const int slot = CurrentSlotIndex(engine);
    EditStep step = SlotStep(engine, EditKind::PluginDelete, slot);
    auto before = Capture(engine, slot);
    const PatternSnapshot bank(engine, slot, 0, kPatternsPerSlot - 1);
    DeletePluginCommand(engine, askClearPatternBank);
    bank.AddChanges(engine, step);
    RecordSlotChange(engine, *history, std::move(step), std::move(before), Capture(engine, slot));
}

} // namespace vantreel
