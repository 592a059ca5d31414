#include "editors/PatternEditorKeys.h"

#include "editors/EditorStateAccess.h"
#include "editors/VirtualKeys.h"
#include "engine/AudioEngine.h"

#include <cstring>

namespace vantreel {

namespace {

// The note keys in semitone order from the octave's C: two rows of the keyboard
// (Z to M, Q to P) with the sharps on the rows above them.
constexpr char kNoteKeys[] = "ZSXDCVGBHNJMQ2W3ER5T6Y7UI9O0P";
constexpr int kNoteVelocity = 120;
constexpr int kMaxNote = 127;
constexpr int kLastCursorColumn = 8; // columns 1..8 are the cell's hex digits
constexpr int kPageLines = 16;
constexpr int kMinOctave = 1;
constexpr int kMaxOctave = 8;
constexpr int kChannels = 16;

int NoteKeyIndex(int vkey) {
    if (!vk::IsLetter(vkey) && !vk::IsDigit(vkey)) {
        return -1;
    }
    const char* found = std::strchr(kNoteKeys, vkey);
    return found ? int(found - kNoteKeys) : -1;
}

int HexDigit(int vkey) {
    if (vk::IsDigit(vkey)) {
        return vkey - vk::Key0;
    }
    if (vkey >= vk::A && vkey <= vk::F) {
        return vkey - vk::A + 10;
    }
    return -1;
}

int Wrap(int value, int count) {
    return ((value % count) + count) % count;
}

bool IsStoredLine(int line) {
    return line >= 0 && line < kPatternLines;
}

} // namespace

PatternEditorKeys::PatternEditorKeys(AudioEngine& engine) : engine(engine) {}

bool PatternEditorKeys::KeyDown(int vkey, int modifiers) {
    bool repaint = NavigationKey(vkey, modifiers);
    const int column = engine.editor.cursorColumn;
    if (column >= 1 && column <= kLastCursorColumn) {
        repaint |= HexKey(vkey);
    } else if (column == 0) {
        repaint |= NoteColumnKey(vkey);
    }
    return repaint;
}

bool PatternEditorKeys::NavigationKey(int vkey, int modifiers) {
    EditorState& e = engine.editor;
    switch (vkey) {
    case vk::Oem1:
        e.midiChannel = Wrap(e.midiChannel - 1, kChannels);
        return true;
    case vk::OemPlus:
        e.midiChannel = Wrap(e.midiChannel + 1, kChannels);
        return true;
    case vk::Tab:
        e.cursorColumn = 0;
        e.cursorTrack = Wrap(e.cursorTrack + ((modifiers & kShiftModifier) ? -1 : 1), kTracks);
        return true;
    case vk::Up:
        MoveCursorLine(-1);
        return true;
    case vk::Down:
        MoveCursorLine(1);
        return true;
    case vk::PageUp:
        MoveCursorLine(-kPageLines);
        return true;
    case vk::PageDown:
        MoveCursorLine(kPageLines);
        return true;
    case vk::Left:
        MoveCursorColumn(-1);
        return true;
    case vk::Right:
        MoveCursorColumn(1);
        return true;
    default:
        return false;
    }
}

// Clamped to the pattern's last line, then to 0, so an empty pattern keeps line 0.
// A length beyond the stored lines counts as the stored lines.
void PatternEditorKeys::MoveCursorLine(int delta) {
    const int last = ShownPattern(engine).PlayedLength() - 1;
    int line = engine.editor.cursorLine + delta;
    line = std::min(line, last);
    line = std::max(line, 0);
    engine.editor.cursorLine = line;
}

void PatternEditorKeys::MoveCursorColumn(int delta) {
    EditorState& e = engine.editor;
    int column = e.cursorColumn + delta;
    if (column > kLastCursorColumn) {
        column = 0;
        e.cursorTrack = Wrap(e.cursorTrack + 1, kTracks);
    } else if (column < 0) {
        column = kLastCursorColumn;
        e.cursorTrack = Wrap(e.cursorTrack - 1, kTracks);
    }
    e.cursorColumn = column;
}

// Odd columns are a byte's high digit, even columns its low digit. Writes whether or
// not edit mode is on.
bool PatternEditorKeys::HexKey(int vkey) {
    const int digit = HexDigit(vkey);
    if (digit < 0 && vkey != vk::Delete) {
        return false;
    }
    const int column = engine.editor.cursorColumn;
    const int line = engine.editor.cursorLine;
    const int track = CursorTrackIndex(engine);
    if (IsStoredLine(line)) {
        Pattern& pattern = ShownPattern(engine);
        EventCell cell = pattern.Cell(line, track);
        uint8_t& byte = cell[(column - 1) / 2];
        if (digit < 0) {
            byte = 0;
        } else if (column % 2 == 1) {
            byte = uint8_t(digit << 4 | (byte & 0x0F));
        } else {
            byte = uint8_t((byte & 0xF0) | digit);
        }
        pattern.SetCell(line, track, cell);
        engine.modified.Mark();
    }
    MoveCursorLine(1);
    return true;
}

bool PatternEditorKeys::NoteColumnKey(int vkey) {
    bool repaint = false;
    if (vkey == vk::Delete) {
        repaint = WriteCell(CellKind::Clear, 0);
    } else if (vkey == vk::Key1) {
        repaint = WriteCell(CellKind::Mark, 0);
    }
    const int k = NoteKeyIndex(vkey);
    if (k >= 0) {
        // The cell write and its preview must not interleave with a block render.
        EngineLockGuard guard(engine.lock);
        const int note = 12 * engine.editor.octave + k;
        if (note >= 0 && note <= kMaxNote) {
            repaint |= WriteCell(CellKind::Note, note);
        }
    }
    return repaint;
}

// In edit mode the cell under the cursor is written and the cursor moves down.
// Outside it only a note's preview remains, once per key press: the key release
// re-arms `keyReleased`.
bool PatternEditorKeys::WriteCell(CellKind kind, int note) {
    EditorState& e = engine.editor;
    const bool edit = e.editMode != 0;
    if (!edit) {
        if (!keyReleased) {
            return false;
        }
        keyReleased = false;
    }
    EventCell cell;
    if (kind == CellKind::Note) {
        cell = {uint8_t(kNoteOnStatus | (e.midiChannel & kStatusChannelMask)), uint8_t(note),
                uint8_t(kNoteVelocity), 0};
    } else if (kind == CellKind::Mark) {
        cell = {kStatusNoteOff, 0, 0, 0};
    }
    const int slot = CurrentSlotIndex(engine);
    const int track = CursorTrackIndex(engine);
    const int line = e.cursorLine;
    if (edit && IsStoredLine(line)) {
        ShownPattern(engine).SetCell(line, track, cell);
    }
    if (kind == CellKind::Note) {
        engine.PlayCell(slot, track, cell, 0);
    }
    if (!edit) {
        return false;
    }
    MoveCursorLine(1);
    return true;
}

void PatternEditorKeys::KeyUp(int vkey) {
    if (!vk::IsLetter(vkey) && !vk::IsDigit(vkey)) {
        return;
    }
    {
        EngineLockGuard guard(engine.lock);
        engine.ReleaseTrackNote(CurrentSlotIndex(engine), CursorTrackIndex(engine), 0);
    }
    keyReleased = true;
}

bool PatternEditorKeys::NextPattern() {
    if (engine.editor.currentPattern < kPatternsPerSlot - 1) {
        ++engine.editor.currentPattern;
    }
    return true;
}

bool PatternEditorKeys::PreviousPattern() {
    if (engine.editor.currentPattern > 0) {
        --engine.editor.currentPattern;
    }
    return true;
}

bool PatternEditorKeys::NextOctave() {
    if (engine.editor.octave < kMaxOctave) {
        ++engine.editor.octave;
    }
    return true;
}

bool PatternEditorKeys::PreviousOctave() {
    if (engine.editor.octave > kMinOctave) {
        --engine.editor.octave;
    }
    return true;
}

void PatternEditorKeys::ToggleEditMode() {
    engine.editor.editMode = engine.editor.editMode ? 0 : 1;
}

void PatternEditorKeys::ToggleSlaveCursor() {
    engine.editor.slaveCursor = engine.editor.slaveCursor ? 0 : 1;
}

void PatternEditorKeys::MarkBlockStart() {
    engine.editor.blockFirstTrack = engine.editor.cursorTrack.load();
    engine.editor.blockFirstLine = engine.editor.cursorLine.load();
}

void PatternEditorKeys::MarkBlockEnd() {
    engine.editor.blockLastTrack = engine.editor.cursorTrack.load();
    engine.editor.blockLastLine = engine.editor.cursorLine.load();
}

} // namespace vantreel
