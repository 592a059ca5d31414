#pragma once
// The drawing surface of the editors: the four operations their painting uses.
// The window implements it with QPainter; tests implement it with a pixel array.
//
// Contract for implementations (all coordinates in pixels of the client area,
// x to the right, y down; everything outside the surface is clipped silently):
// - DrawLine: a one-pixel horizontal or vertical line, BOTH end points included.
//   The editors call it with x0 == x1 or y0 == y1 and x0 <= x1, y0 <= y1 only.
// - FillRect: fills columns x..x+w-1 and rows y..y+h-1; nothing when w or h < 1.
// - DrawText: opaque fixed-pitch text with its top-left corner at (x, y). The
//   whole text cell, columns x..x+kCharWidth*n-1 and rows y..y+kTextHeight-1, is
//   filled with `background` first; the glyphs are drawn in `color` and must stay
//   inside that cell (clip them to it). Texts are 8-bit characters, no line breaks.
// - InvertRect: inverts every channel (c -> 255 - c) of columns x..x+w-1 and
//   rows y..y+h-1; nothing when w or h < 1.
//
// Threads: the user-interface thread only.

#include "editors/Color.h"

#include <string_view>

namespace vantreel {

// The character cell of the editors' fixed-pitch font. The cursor columns and the
// cell layout assume every character advances exactly kCharWidth pixels.
constexpr int kCharWidth = 6;   // advance of every character, digits included
constexpr int kTextHeight = 10; // rows covered by a text's opaque background
constexpr int kRowHeight = 12;  // one editor row; the text sits 1 pixel below its top

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void DrawLine(int x0, int y0, int x1, int y1, Color color) = 0;
    virtual void FillRect(int x, int y, int w, int h, Color color) = 0;
    virtual void DrawText(int x, int y, std::string_view text, Color color, Color background) = 0;
    virtual void InvertRect(int x, int y, int w, int h) = 0;
};

} // namespace vantreel
