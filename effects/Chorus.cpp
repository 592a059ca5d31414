#include "effects/Chorus.h"

#include "effects/ParameterUnit.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantreel {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kUnit = kParameterUnit;
} // namespace

ChorusSweep Chorus::Sweep(const ChorusSettings& settings) {
    const double u = kChorusDelayScale * settings.chorusDelay + kChorusDelayOffset;
    const double depth = kChorusDelayScale * u * (settings.chorusMod * kUnit);
    const double base = std::min(u, kChorusMaxDistance);
    return {base, std::min(depth, kChorusMaxDistance - base)};
}

void Chorus::Process(float* left, float* right, int frames, const ChorusSettings& settings) {
    const ChorusSweep sweep = Sweep(settings);
    const double inc = settings.lfoSpeed * kChorusLfoScale;
    const double fb = settings.chorusFeedback * kUnit;
    for (int i = 0; i < frames; ++i) {
        const double s = std::sin(lfoPhase) * sweep.depth;
        lfoPhase += inc;
        if (lfoPhase >= kTwoPi) {
            lfoPhase -= kTwoPi;
        }
        left[i] = leftLine.Process(left[i], sweep.base + s, fb);
        right[i] = rightLine.Process(right[i], sweep.base - s, fb);
    }
}

} // namespace vantreel
