#include "editors/CellText.h"

#include <cstdio>
#include <cstring>

namespace vantreel {

namespace {

constexpr char kNoteOnNames[] = "C-C#D-D#E-F-F#G-G#A-A#B-";
constexpr char kNoteOffNames[] = "c-c#d-d#e-f-f#g-g#a-a#b-";

// Notes 0..11 lie below octave 0; they are named with the octave digit '-' so that
// the name keeps three characters and no other character is misread as a digit.
void NoteName(const char* names, int note, char name[kCellNameSize]) {
    const int n = note - 12;
    const int inOctave = ((n % 12) + 12) % 12;
    name[0] = names[2 * inOctave];
    name[1] = names[2 * inOctave + 1];
    name[2] = n < 0 ? '-' : char('0' + n / 12);
    name[3] = '\0';
}

} // namespace

void CellName(EventCell cell, char name[kCellNameSize]) {
    const char* kind = "   ";
    switch (cell.status >> 4) {
    case 0x9:
        NoteName(kNoteOnNames, cell.data1, name);
        return;
    case 0x8:
        NoteName(kNoteOffNames, cell.data1, name);
        return;
    case 0xA:
        kind = "PPr";
        break;
    case 0xB:
        kind = "CCh";
        break;
    case 0xC:
        kind = "PCh";
        break;
    case 0xD:
        kind = "CPr";
        break;
    case 0xE:
        kind = "PBd";
        break;
    default:
        if (cell.status == kStatusNoteOff) {
            kind = "off";
        }
        break;
    }
    std::memcpy(name, kind, kCellNameSize);
}

void CellText(EventCell cell, char text[kCellTextSize]) {
    char name[kCellNameSize];
    CellName(cell, name);
    std::snprintf(text, kCellTextSize, "%s %.2X %.2X %.2X %.2X", name, cell.status, cell.data1,
                  cell.data2, cell.rs);
}

} // namespace vantreel
