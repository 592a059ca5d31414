#pragma once
// The two boxes everything in the editors is drawn with: a one-pixel frame that
// looks raised (or almost flat), a filled inside and an opaque text at the left.

#include "editors/Canvas.h"

#include <string_view>

namespace vantreel {

// Frame edges offset by +-47 per channel around `background`.
void DrawRaisedBox(Canvas& canvas, int x, int y, int w, int h, std::string_view text,
                   Color textColor, Color background);
// The same with edges offset by +-8.
void DrawFlatBox(Canvas& canvas, int x, int y, int w, int h, std::string_view text, Color textColor,
                 Color background);

} // namespace vantreel
