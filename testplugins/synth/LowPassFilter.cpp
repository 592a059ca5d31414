#include "testplugins/synth/LowPassFilter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantreel::synth {

namespace {
constexpr float kDamping = 1.41421356f;      // 1/Q for a Butterworth response: no resonant peak
constexpr float kHighestCutoffRatio = 0.45f; // of the sample rate
} // namespace

LowPassCoefficients LowPassCoefficients::For(float cutoffHz, float sampleRate) {
    float limited = std::clamp(cutoffHz, 1.0f, kHighestCutoffRatio * sampleRate);
    float g = std::tan(std::numbers::pi_v<float> * limited / sampleRate);
    LowPassCoefficients c;
    c.a1 = 1.0f / (1.0f + g * (g + kDamping));
    c.a2 = g * c.a1;
    c.a3 = g * c.a2;
    return c;
}

float LowPassFilter::Next(float input, const LowPassCoefficients& c) {
    float v3 = input - state2;
    float v1 = c.a1 * state1 + c.a2 * v3;
    float v2 = state2 + c.a2 * state1 + c.a3 * v3;
    state1 = 2.0f * v1 - state1;
    state2 = 2.0f * v2 - state2;
    return v2;
}

} // namespace vantreel::synth
