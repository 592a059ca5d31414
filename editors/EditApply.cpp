#include "editors/EditApply.h"

#include "editors/EditorLayout.h"
#include "editors/EditorStateAccess.h"
#include "engine/AudioEngine.h"

#include <cstring>
#include <mutex>

namespace vantreel {

namespace {

bool Forward(EditDirection direction) {
    return direction == EditDirection::Forward;
}

// One cell or one value is a single atomic store; more must not meet a block half-way.
bool NeedsLock(const EditStep& step) {
    return step.cells.size() + step.headers.size() + step.entries.size() > 1 || step.recordBefore ||
           step.recordAfter;
}

void ApplyRecord(AudioEngine& engine, const EditStep& step, EditDirection direction) {
    const auto& image = Forward(direction) ? step.recordAfter : step.recordBefore;
    if (image) {
        RestoreSlotRecord(engine, step.slot, *image);
    }
}

void ApplyCells(AudioEngine& engine, const EditStep& step, EditDirection direction) {
    PluginSlot& slot = engine.song.slots[step.slot];
    for (const CellChange& change : step.cells) {
        const uint32_t pattern = change.where / kCellsPerPattern;
        const uint32_t cell = change.where % kCellsPerPattern;
        const EventCell value =
            EventCell::Unpack(Forward(direction) ? change.after : change.before);
        slot.patterns[pattern].SetCell(int(cell / kTracks), int(cell % kTracks), value);
    }
}

void ApplyHeaders(AudioEngine& engine, const EditStep& step, EditDirection direction) {
    PluginSlot& slot = engine.song.slots[step.slot];
    for (const PatternHeaderChange& change : step.headers) {
        Pattern& pattern = slot.patterns[change.pattern];
        const char* name = Forward(direction) ? change.nameAfter : change.nameBefore;
        std::memcpy(pattern.name, name, sizeof pattern.name);
        pattern.SetLength(Forward(direction) ? change.lengthAfter : change.lengthBefore);
    }
}

void ApplyEntries(AudioEngine& engine, const EditStep& step, EditDirection direction) {
    for (const EntryChange& change : step.entries) {
        engine.song.arrangement.Set(change.line, change.slot,
                                    Forward(direction) ? change.after : change.before);
    }
}

void ApplySetting(AudioEngine& engine, const EditStep& step, EditDirection direction) {
    if (const auto& s = step.setting) {
        StoreSongSetting(engine.song, s->setting, s->slot,
                         Forward(direction) ? s->after : s->before);
    }
}

// Scrolls the arrangement only as far as it takes to show the cursor's line.
void ShowArrangementLine(AudioEngine& engine, int line) {
    EditorState& e = engine.editor;
    const int64_t lastShownOffset = int64_t(layout::kArrangementRows - 1) * SeqStep(engine);
    if (line < e.seqScrollLine) {
        e.seqScrollLine = line;
    } else if (line > e.seqScrollLine + lastShownOffset) {
        e.seqScrollLine = int32_t(line - lastShownOffset);
    }
}

} // namespace

void ApplyEditStep(AudioEngine& engine, const EditStep& step, EditDirection direction) {
    {
        std::unique_lock<EngineLock> guard(engine.lock, std::defer_lock);
        if (NeedsLock(step)) {
            guard.lock();
        }
        ApplyRecord(engine, step, direction);
        ApplyCells(engine, step, direction);
        ApplyHeaders(engine, step, direction);
        ApplyEntries(engine, step, direction);
        ApplySetting(engine, step, direction);
    }
    PlaceCursor(engine, step.place);
}

void PlaceCursor(AudioEngine& engine, const EditPlace& place) {
    EditorState& e = engine.editor;
    if (e.currentSlot != place.slot) {
        e.currentParameter = 0; // as stepping the slot does
    }
    e.currentSlot = place.slot;
    e.currentPattern = place.pattern;
    e.cursorLine = place.line;
    e.cursorTrack = place.track;
    e.cursorColumn = place.column;
    e.patternFocus = place.focus;
    e.seqCursorLine = place.seqLine;
    ShowArrangementLine(engine, place.seqLine);
}

} // namespace vantreel
