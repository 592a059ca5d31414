#include "editors/BoxPainter.h"

#include "editors/EditorColors.h"
#include "editors/EditorLayout.h"

namespace vantreel {

namespace {

// Top and left edges light, bottom and right edges dark; the top-right and the
// bottom-left corner pixels belong to the dark edges. A box that has no area (a
// stretching box in a window narrower than the grid) draws nothing at all.
void DrawBox(Canvas& canvas, int x, int y, int w, int h, std::string_view text, Color textColor,
             Color background, int edge) {
    if (w < 1 || h < 1) {
        return;
    }
    const Color light = background + Shade::Gray(edge);
    const Color dark = background + Shade::Gray(-edge);
    const int right = x + w - 1;
    const int bottom = y + h - 1;
    if (w > 1) {
        canvas.DrawLine(x, y, right - 1, y, light);
    }
    if (h > 1) {
        canvas.DrawLine(x, y, x, bottom - 1, light);
    }
    canvas.DrawLine(right, y, right, bottom, dark);
    canvas.DrawLine(x, bottom, right, bottom, dark);
    canvas.FillRect(x + 1, y + 1, w - 2, h - 2, background);
    if (!text.empty()) {
        canvas.DrawText(x + layout::kTextInsetX, y + layout::kTextInsetY, text, textColor,
                        background);
    }
}

} // namespace

void DrawRaisedBox(Canvas& canvas, int x, int y, int w, int h, std::string_view text,
                   Color textColor, Color background) {
    DrawBox(canvas, x, y, w, h, text, textColor, background, colors::kRaisedEdge);
}

void DrawFlatBox(Canvas& canvas, int x, int y, int w, int h, std::string_view text, Color textColor,
                 Color background) {
    DrawBox(canvas, x, y, w, h, text, textColor, background, colors::kFlatEdge);
}

} // namespace vantreel
