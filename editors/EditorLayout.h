#pragma once
// The fixed pixel grid of the editor view. Only the boxes at the right edge and the
// status box at the bottom stretch with the window.

#include "editors/Canvas.h"

namespace vantreel::layout {

constexpr int kStripWidth = 16;  // the focus strip at the left
constexpr int kLineNumberX = 16; // line-number column of both editors
constexpr int kLineNumberWidth = 48;
constexpr int kGridX = 64;       // first slot column / first track
constexpr int kRightEdgeX = 832; // where the stretching boxes start

// Arrangement area: title, header, 16 entry rows.
constexpr int kArrangementTitleY = 0;
constexpr int kArrangementHeaderY = 12;
constexpr int kArrangementRowsY = 24;
constexpr int kArrangementRows = 16;
constexpr int kSlotColumnWidth = 48;
constexpr int kArrangementHeight = 216; // rows 0..215; a click above it focuses the arrangement

// Pattern editor: title, two header rows, 32 pattern rows, then the status box.
constexpr int kPatternTitleY = 216;
constexpr int kTrackHeaderY = 228;
constexpr int kColumnTitleY = 240;
constexpr int kPatternRowsY = 252;
constexpr int kPatternRows = 32;
constexpr int kTrackWidth = 96;
constexpr int kStatusY = kPatternRowsY + kPatternRows * kRowHeight; // 636

// Inside a box the text starts 4 pixels right of and 1 pixel below its corner.
constexpr int kTextInsetX = 4;
constexpr int kTextInsetY = 1;

} // namespace vantreel::layout
