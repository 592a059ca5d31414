#include "effects/PeakMeter.h"

#include <cmath>

namespace vantreel {

namespace {

float Step(float peak, float sample) {
    if (peak > kPeakFloor) {
        peak = static_cast<float>(peak * kPeakFall);
    }
    const float v = std::fabs(sample);
    return v > peak ? v : peak;
}

} // namespace

float PeakMeter::Measure(float peak, const float* samples, int frames) {
    for (int i = 0; i < frames; ++i) {
        peak = Step(peak, samples[i]);
    }
    return peak;
}

void PeakMeter::MeasureStereo(float& peakLeft, float& peakRight, const float* left,
                              const float* right, int frames) {
    // Each peak waits on its own last value: running both in one loop overlaps them.
    float l = peakLeft;
    float r = peakRight;
    for (int i = 0; i < frames; ++i) {
        l = Step(l, left[i]);
        r = Step(r, right[i]);
    }
    peakLeft = l;
    peakRight = r;
}

} // namespace vantreel
