#pragma once
// RMS compressor with one gain target per block, approached smoothly sample by
// sample. Audio thread only.

#include "effects/EffectDefaults.h"
#include "effects/EffectRanges.h"

namespace vantreel {

struct CompressorSettings {
    int threshold = CompressorDefaults::threshold; // 0..128, 128 = 1.0
    int ratio =
        CompressorDefaults::ratio; // 0 bypass, 1..15 compress (ratio + 1):1, 16 or more limit
    int smoothness = CompressorDefaults::smoothness; // 0..128
};

constexpr double kMinThreshold = 0.01;
constexpr double kSmoothingScale = 22.0; // rate = 1 / (22 (smoothness + 1))

class Compressor {
public:
    // Processes both buffers in place. Bypassed (ratio 0), it leaves them and the
    // envelope untouched.
    void Process(float* left, float* right, int frames, const CompressorSettings& settings);

    float Envelope() const { return compEnvelope; }

    // The level measured over a block: the RMS of the larger signed sample of each
    // frame.
    static double Level(const float* left, const float* right, int frames);

private:
    float compEnvelope = 0.0f; // starts silent: the first activation fades in
};

} // namespace vantreel
