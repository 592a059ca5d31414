#include "effects/Compressor.h"

#include "effects/ParameterUnit.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace vantreel {

double Compressor::Level(const float* left, const float* right, int frames) {
    double sum = 0.0;
    for (int i = 0; i < frames; ++i) {
        const double v = right[i] >= left[i] ? right[i] : left[i];
        sum += v * v;
    }
    return std::sqrt(sum / frames);
}

void Compressor::Process(float* left, float* right, int frames,
                         const CompressorSettings& settings) {
    if (settings.ratio <= 0) {
        return;
    }
    double thr = settings.threshold * double(kParameterUnit);
    if (thr < kMinThreshold) {
        thr = kMinThreshold;
    }
    const double k = settings.ratio >= kLimitingRatio ? -1.0 : 1.0 / (settings.ratio + 1) - 1.0;
    const double rate = 1.0 / (kSmoothingScale * (settings.smoothness + 1));
    const double rms = Level(left, right, frames);
    const double g = rms > thr ? std::exp((std::log(rms) - std::log(thr)) * k) : 1.0;
    for (int i = 0; i < frames; ++i) {
        const float previous = compEnvelope;
        compEnvelope = static_cast<float>(compEnvelope + (g - compEnvelope) * rate);
        left[i] *= compEnvelope;
        right[i] *= compEnvelope;
        if (std::bit_cast<uint32_t>(compEnvelope) == std::bit_cast<uint32_t>(previous)) {
            // A fixed point: with g and rate constant over the block every further
            // step returns the same bits, so the rest of the block is one gain.
            for (int j = i + 1; j < frames; ++j) {
                left[j] *= compEnvelope;
                right[j] *= compEnvelope;
            }
            break;
        }
    }
}

} // namespace vantreel
