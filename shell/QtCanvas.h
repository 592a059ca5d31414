#pragma once
// The editors' drawing surface over a QPainter: one-pixel lines, filled rectangles,
// opaque fixed-pitch text clipped to its character cells, and inversion.

#include "editors/Canvas.h"

class QPainter;

namespace vantreel {

class TextCellCache;

class QtCanvas final : public Canvas {
public:
    // The painter must paint on an opaque raster surface (a widget or a QImage).
    // Texts are drawn with the cache's font and kept in it.
    QtCanvas(QPainter& painter, TextCellCache& texts);

    void DrawLine(int x0, int y0, int x1, int y1, Color color) override;
    void FillRect(int x, int y, int w, int h, Color color) override;
    void DrawText(int x, int y, std::string_view text, Color color, Color background) override;
    void InvertRect(int x, int y, int w, int h) override;

private:
    QPainter& painter;
    TextCellCache& texts;
};

} // namespace vantreel
