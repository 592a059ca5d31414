#pragma once
// Dialog units: the windows of this program are laid out in units of the dialog
// font, a quarter of its average character width across and an eighth of its
// height down, so a layout keeps its proportions with the font.

#include "shell/DialogRect.h"

#include <QFont>
#include <QRect>

namespace vantreel {

struct DialogBaseUnits {
    int x; // average character width, in pixels
    int y; // character height, in pixels
};

// The small sans-serif font of the panel and the dialogs.
QFont DialogFont();
// The base units `font` gives: the rounded average width of the 52 letters and the
// font's height.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// Each edge is converted and rounded on its own, so neighbours stay flush.
QRect ToPixels(const DialogRect& rect, DialogBaseUnits units);
QSize ToPixels(int width, int height, DialogBaseUnits units);

} // namespace vantreel
