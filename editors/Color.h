#pragma once
// An RGB colour as the editors draw it, and the signed per-channel offsets that
// shade it. Offsets are summed first and the result is held within 0..255.

#include <algorithm>
#include <cstdint>

namespace vantreel {

struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Color&) const = default;
};

struct Shade {
    int r = 0;
    int g = 0;
    int b = 0;

    static constexpr Shade Gray(int v) { return {v, v, v}; }
    constexpr Shade operator+(Shade o) const { return {r + o.r, g + o.g, b + o.b}; }
    constexpr Shade operator-(Shade o) const { return {r - o.r, g - o.g, b - o.b}; }
    constexpr Shade operator-() const { return {-r, -g, -b}; }
};

constexpr uint8_t ClampChannel(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

constexpr Color operator+(Color c, Shade s) {
    return {ClampChannel(c.r + s.r), ClampChannel(c.g + s.g), ClampChannel(c.b + s.b)};
}

constexpr Color Inverted(Color c) {
    return {uint8_t(255 - c.r), uint8_t(255 - c.g), uint8_t(255 - c.b)};
}

} // namespace vantreel
