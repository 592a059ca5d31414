#pragma once
// The song's fixed dimensions. Nothing here is configurable at run time.

namespace vantreel {

constexpr int kSlotCount = 16;
constexpr int kPatternsPerSlot = 26;
constexpr int kPatternLines = 256;
constexpr int kTracks = 8;
constexpr int kCellsPerPattern = kPatternLines * kTracks;
constexpr int kArrangementLines = 32768;
constexpr int kTextSize = 64; // zero-terminated 8-bit texts: names, folder
constexpr int kDefaultPatternLength = 64;

} // namespace vantreel
