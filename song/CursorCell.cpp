#include "song/CursorCell.h"

namespace vantreel {

namespace {

bool InRange(int value, int count) {
    return value >= 0 && value < count;
}

} // namespace

bool StoreAtPatternCursor(Song& song, const EditorState& editor, EventCell cell) {
    const int slot = editor.currentSlot;
    const int pattern = editor.currentPattern;
    const int line = editor.cursorLine;
    const int track = editor.cursorTrack;
    if (!InRange(slot, kSlotCount) || !InRange(pattern, kPatternsPerSlot) ||
        !InRange(line, kPatternLines) || !InRange(track, kTracks)) {
        return false;
    }
    song.slots[slot].patterns[pattern].SetCell(line, track, cell);
    return true;
}

} // namespace vantreel
