#include "effects/Chorus.h"

#include "effects/ParameterUnit.h"
#include "effects/WrappedPhase.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantreel {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kUnit = kParameterUnit;
constexpr int kChorusChunkFrames = 256;
} // namespace

ChorusSweep Chorus::Sweep(const ChorusSettings& settings) {
    const double u = kChorusDelayScale * settings.chorusDelay + kChorusDelayOffset;
    const double depth = kChorusDelayScale * u * (settings.chorusMod * kUnit);
    const double base = std::min(u, kChorusMaxDistance);
    return {base, std::min(depth, kChorusMaxDistance - base)};
}

void Chorus::Process(float* left, float* right, int frames, const ChorusSettings& settings) {
    const double inc = settings.lfoSpeed * kChorusLfoScale;
    const double fb = settings.chorusFeedback * kUnit;
    if (ProcessSteady(left, right, frames, inc, fb)) {
        return;
    }
    const ChorusSweep sweep = Sweep(settings);
    // The sweep first, then the lines: the lines' loop then has no library call
    // in it and keeps its values in registers.
    double sweepOffset[kChorusChunkFrames];
    for (int start = 0; start < frames; start += kChorusChunkFrames) {
        const int count = std::min(kChorusChunkFrames, frames - start);
        for (int i = 0; i < count; ++i) {
            sweepOffset[i] = std::sin(lfoPhase) * sweep.depth;
            AdvancePhase(inc);
        }
        float* l = left + start;
        float* r = right + start;
        for (int i = 0; i < count; ++i) {
            l[i] = leftLine.Process(l[i], sweep.base + sweepOffset[i], fb);
            r[i] = rightLine.Process(r[i], sweep.base - sweepOffset[i], fb);
        }
        leftLine.NoteWritten(count);
        rightLine.NoteWritten(count);
    }
}

// An unused send holds its fill value, block after block: once both lines hold what
// that value stores, every reading gives it back, whatever the sweep.
bool Chorus::ProcessSteady(float* left, float* right, int frames, double inc, double fb) {
    float inLeft = 0.0f;
    float inRight = 0.0f;
    float outLeft = 0.0f;
    float outRight = 0.0f;
    if (!resting || !ConstantBlock(left, frames, inLeft) ||
        !ConstantBlock(right, frames, inRight) || !leftLine.SteadyFor(inLeft, fb, outLeft) ||
        !rightLine.SteadyFor(inRight, fb, outRight)) {
        return false;
    }
    std::fill(left, left + frames, outLeft);
    std::fill(right, right + frames, outRight);
    leftLine.AdvanceSteady(frames);
    rightLine.AdvanceSteady(frames);
    lfoPhase = AdvanceWrappedPhase(lfoPhase, inc, kTwoPi, frames);
    ++restedBlocks;
    return true;
}

void Chorus::AdvancePhase(double inc) {
    lfoPhase = StepWrappedPhase(lfoPhase, inc, kTwoPi);
}

} // namespace vantreel
