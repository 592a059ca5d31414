#include "effects/PeakMeter.h"

#include <cmath>

namespace vantreel {

float PeakMeter::Measure(float peak, const float* samples, int frames) {
    for (int i = 0; i < frames; ++i) {
        if (peak > kPeakFloor) {
            peak = static_cast<float>(peak * kPeakFall);
        }
        const float v = std::fabs(samples[i]);
        if (v > peak) {
            peak = v;
        }
    }
    return peak;
}

} // namespace vantreel
