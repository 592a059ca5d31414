#include "RasterCanvas.h"

#include <algorithm>
#include <stdexcept>

namespace vantreel::test {

RasterCanvas::RasterCanvas(int width, int height, Color fill)
    : width(width), height(height), pixels(size_t(width) * height, fill) {}

void RasterCanvas::Clear(Color fill) {
    std::fill(pixels.begin(), pixels.end(), fill);
    texts.clear();
}

void RasterCanvas::DrawLine(int x0, int y0, int x1, int y1, Color color) {
    // Only straight lines are part of the contract; anything else is a test failure.
    if (x0 != x1 && y0 != y1) {
        throw std::logic_error("diagonal line");
    }
    FillRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1, color);
}

void RasterCanvas::FillRect(int x, int y, int w, int h, Color color) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + w, width);
    const int bottom = std::min(y + h, height);
    for (int row = top; row < bottom; ++row) {
        for (int col = left; col < right; ++col) {
            pixels[size_t(row) * width + col] = color;
        }
    }
}

void RasterCanvas::DrawText(int x, int y, std::string_view text, Color color, Color background) {
    FillRect(x, y, kCharWidth * int(text.size()), kTextHeight, background);
    texts.push_back({x, y, std::string(text), color, background});
}

void RasterCanvas::InvertRect(int x, int y, int w, int h) {
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min(x + w, width);
    const int bottom = std::min(y + h, height);
    for (int row = top; row < bottom; ++row) {
        for (int col = left; col < right; ++col) {
            Color& c = pixels[size_t(row) * width + col];
            c = Inverted(c);
        }
    }
}

Color RasterCanvas::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        throw std::out_of_range("pixel outside the canvas");
    }
    return pixels[size_t(y) * width + x];
}

const DrawnText* RasterCanvas::TextAt(int x, int y) const {
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
        if (it->x == x && it->y == y) {
            return &*it;
        }
    }
    return nullptr;
}

const DrawnText* RasterCanvas::FindText(std::string_view text) const {
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
        if (it->text == text) {
            return &*it;
        }
    }
    return nullptr;
}

} // namespace vantreel::test
