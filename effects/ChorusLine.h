#pragma once
// One channel of the chorus: a circular line read behind its write position at a
// fractional distance, with four-point cubic interpolation and a feedback path.

#include "effects/SteadyRun.h"

#include <array>
#include <bit>
#include <cmath>

namespace vantreel {

constexpr int kChorusLineLength = 4096; // a power of two: indices wrap by masking
// The farthest distance whose oldest interpolation tap (one sample beyond the read
// position) is still inside the line.
constexpr double kChorusMaxDistance = kChorusLineLength - 1;

class ChorusLine {
public:
    // Reads the line `distance` samples back, writes `in` plus `feedback` times that
    // reading, advances, and returns the reading.
    // Inline: the chorus calls it twice per sample.
    float Process(float in, double distance, double feedback) {
        double p = writePosition - distance;
        if (p < 0) {
            p += kChorusLineLength;
        }
        const int n = FloorToIndex(p);
        const double x = p - n;
        const double y0 = Tap(n - 1);
        const double y1 = Tap(n);
        const double y2 = Tap(n + 1);
        const double y3 = Tap(n + 2);
        // Catmull-Rom: passes through y1 at x = 0 and y2 at x = 1.
        const double y = y1 + x * (0.5 * (y2 - y0) + x * (y0 - 2.5 * y1 + 2 * y2 - 0.5 * y3 +
                                                          x * (1.5 * (y1 - y2) + 0.5 * (y3 - y0))));
        buffer[writePosition] = Stored(in, feedback, y);
        writePosition = (writePosition + 1) & (kChorusLineLength - 1);
        return static_cast<float>(y);
    }

    // Notes the last `frames` samples written, for SteadyValue.
    void NoteWritten(int frames) {
        const int start = (writePosition - frames) & (kChorusLineLength - 1);
        const int first = std::min(frames, kChorusLineLength - start);
        steady.Note(&buffer[start], first);
        steady.Note(&buffer[0], frames - first);
    }

    // True, with the value, when the line holds one value throughout that `in` would
    // store again: Process would then return that value for every distance (the
    // interpolation of four equal taps is exact for a normal number or +0) and leave
    // the line as it is.
    bool SteadyFor(float in, double feedback, float& value) const {
        if (!steady.Holds(value)) {
            return false;
        }
        const bool exact =
            std::fpclassify(value) == FP_NORMAL || std::bit_cast<uint32_t>(value) == 0;
        return exact && std::bit_cast<uint32_t>(Stored(in, feedback, value)) ==
                            std::bit_cast<uint32_t>(value);
    }

    // What `frames` calls of Process do to a line that is SteadyFor its input.
    void AdvanceSteady(int frames) {
        writePosition = (writePosition + frames) & (kChorusLineLength - 1);
    }

private:
    static float Stored(float in, double feedback, double reading) {
        return static_cast<float>(in + feedback * reading);
    }
    // std::floor for the read positions, which lie well inside the int range; without
    // SSE4.1 std::floor is a library call.
    static int FloorToIndex(double p) {
        const int n = static_cast<int>(p);
        return n > p ? n - 1 : n;
    }
    float Tap(int index) const { return buffer[index & (kChorusLineLength - 1)]; }

    std::array<float, kChorusLineLength> buffer{};
    int writePosition = 0;
    SteadyRun steady{kChorusLineLength};
};

} // namespace vantreel
