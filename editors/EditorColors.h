#pragma once
// The editors' base colours and the shades added to them.

#include "editors/Color.h"

namespace vantreel::colors {

constexpr Color kTitle{208, 208, 144};
constexpr Color kHeader{192, 208, 160};
constexpr Color kColumnTitle{176, 192, 176};
constexpr Color kLineNumber{144, 160, 160};
constexpr Color kLineNumberAtCursor{128, 144, 144};
constexpr Color kCell{175, 175, 143};
constexpr Color kEmpty{187, 187, 187};
constexpr Color kCurrentSlotHeader{104, 116, 88};

constexpr Color kText{0, 0, 0};
constexpr Color kCurrentSlotText{255, 255, 255};

constexpr int kRaisedEdge = 47; // edge offsets of the raised and the flat box
constexpr int kFlatEdge = 8;

constexpr int kBeatShade = 8; // per multiple of 4, 8 and 16 lines
constexpr Shade kPlayLineShade{-16, -16, -16};
constexpr Shade kCursorLineShade{-16, -12, -8};
constexpr Shade kBlockShade{16, 32, 8}; // pattern block and song loop range
constexpr Shade kCurrentSlotShade{-16, -12, -8};

} // namespace vantreel::colors
