#pragma once
// A rectangle in dialog units, as the layout tables give it; DialogUnits.h turns it
// into pixels for a font.

namespace vantreel {

struct DialogRect {
    int x;
    int y;
    int width;
    int height;
};

} // namespace vantreel
