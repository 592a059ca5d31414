#pragma once
// A canvas over a plain pixel array for tests: lines, fills and inversions change
// pixels exactly; a text fills its opaque background and is remembered with its
// position and colours instead of being drawn as glyphs.

#include "editors/Canvas.h"

#include <string>
#include <vector>

namespace vantreel::test {

struct DrawnText {
    int x;
    int y;
    std::string text;
    Color color;
    Color background;
};

class RasterCanvas : public Canvas {
public:
    RasterCanvas(int width, int height, Color fill = {1, 2, 3});

    void DrawLine(int x0, int y0, int x1, int y1, Color color) override;
    void FillRect(int x, int y, int w, int h, Color color) override;
    void DrawText(int x, int y, std::string_view text, Color color, Color background) override;
    void InvertRect(int x, int y, int w, int h) override;

    Color Pixel(int x, int y) const;
    // The last text drawn with its top-left corner at (x, y), or nullptr.
    const DrawnText* TextAt(int x, int y) const;
    // The last text whose string equals `text`, or nullptr.
    const DrawnText* FindText(std::string_view text) const;
    const std::vector<DrawnText>& Texts() const { return texts; }
    void Clear(Color fill);

    const int width;
    const int height;

private:
    std::vector<Color> pixels;
    std::vector<DrawnText> texts;
};

} // namespace vantreel::test
