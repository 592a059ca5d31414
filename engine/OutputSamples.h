#pragma once
// The master mix's conversion to the 16-bit output: scaled by the master volume,
// floored, and limited to +-kMaxSample. Any thread.

#include "engine/AudioConstants.h"
#include "engine/FloorToInt.h"

#include <cmath>
#include <cstdint>

namespace vantreel {

// One sample, the reference for the block conversion below. Garbage from a
// misbehaving plug-in (NaN, huge values) must not reach the integer conversion.
inline int16_t ToOutputSample(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    if (x >= kMaxSample) {
        return kMaxSample;
    }
    if (x <= -kMaxSample) {
        return -kMaxSample;
    }
    const int v = FloorToInt(x);
    return static_cast<int16_t>(v < -kMaxSample ? -kMaxSample : v);
}

// `frames` frames of both channels, interleaved into `out`: each sample what
// ToOutputSample gives for it times `volume`, four frames at a time where it can
// (in AVX2 where the processor has it).
void ToOutputFrames(const float* left, const float* right, double volume, int frames, int16_t* out);
// The same as a processor without AVX2 runs it, for the tests to hold both to the
// one-sample conversion.
void ToOutputFramesWithoutAvx2(const float* left, const float* right, double volume, int frames,
                               int16_t* out);

} // namespace vantreel
