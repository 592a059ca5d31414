#pragma once
// The texts of pattern cells: the three-character mnemonic of a cell and the whole
// "CMD MS P0 P1 RS" line of one cell.

#include "song/EventCell.h"

namespace vantreel {

constexpr int kCellNameSize = 4;  // three characters and the terminator
constexpr int kCellTextSize = 16; // "C-4 90 3C 78 00" and the terminator

// Writes the mnemonic of the cell's status byte: a note name with its octave for
// note-on (upper case) and note-off (lower case), a message kind, "off", or blanks.
void CellName(EventCell cell, char name[kCellNameSize]);

// Writes the mnemonic followed by the four bytes in hexadecimal.
void CellText(EventCell cell, char text[kCellTextSize]);

} // namespace vantreel
