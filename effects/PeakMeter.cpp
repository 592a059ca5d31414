#include "effects/PeakMeter.h"

#include "effects/FloatLanes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace vantreel {

namespace {

float Fall(float peak) {
    return peak > kPeakFloor ? static_cast<float>(peak * kPeakFall) : peak;
}

float Step(float peak, float sample) {
    peak = Fall(peak);
    const float v = std::fabs(sample);
    return v > peak ? v : peak;
}

// The loudest magnitude of a block and the last frame that has it (-1 when every
// sample is NaN, which never moves the peak).
struct Loudest {
    float level = 0.0f;
    int last = -1;
};

Loudest FindLoudest(const float* samples, int frames) {
    FloatLanes most = {};
    int i = 0;
    for (; i + kLaneCount <= frames; i += kLaneCount) {
        const FloatLanes v =
            std::bit_cast<FloatLanes>(std::bit_cast<BitLanes>(LoadLanes(samples + i)) & INT32_MAX);
        most = v > most ? v : most; // a NaN never wins
    }
    Loudest loudest;
    for (int lane = 0; lane < kLaneCount; ++lane) {
        loudest.level = most[lane] > loudest.level ? most[lane] : loudest.level;
    }
    for (; i < frames; ++i) {
        const float v = std::fabs(samples[i]);
        loudest.level = v > loudest.level ? v : loudest.level;
    }
    for (int k = frames - 1; k >= 0; --k) {
        if (std::fabs(samples[k]) == loudest.level) {
            loudest.last = k;
            break;
        }
    }
    return loudest;
}

// The falls of `peak` through `count` samples of silence.
float FallThrough(float peak, uint32_t count) {
    for (uint32_t i = 0; i < count && peak > kPeakFloor; ++i) {
        peak = Fall(peak);
    }
    return peak;
}

// Bounds on a peak after `count` falls. One fall multiplies by kPeakFall and rounds
// twice, to double and to float, which moves it by less than 2^-23 of itself; the
// margin per fall is larger than the error of pow. Falling stops at the floor.
double FallenAtLeast(float peak, double count) {
    if (peak <= kPeakFloor) {
        return peak;
    }
    return double(peak) * std::pow(kPeakFall * (1.0 - 0x1p-23), count);
}

double FallenAtMost(float peak, double count) {
    if (peak <= kPeakFloor) {
        return peak;
    }
    return std::max(double(peak) * std::pow(kPeakFall * (1.0 + 0x1p-23), count), kPeakFloor);
}

// Below this a falling peak may drop under the floor within a block, where falling
// stops and a larger peak can end lower than a smaller one: the shortcuts that rely
// on order keep above it.
constexpr double kOrderedAbove = 2 * kPeakFloor;

// How a block can be measured with fewer dependent steps than one per sample, giving
// exactly what they would. A peak never rises by falling, and above kOrderedAbove
// falling keeps peaks in order, so:
// - when the block starts no higher than its loudest sample, the peak at the last
//   frame holding that sample is that sample, whatever came before: the steps start
//   there, and any falls owed are forgotten;
// - when it starts surely higher than the loudest sample even after falling through
//   the whole block, no sample touches it: the block's falls are owed;
// - otherwise the block's end is the larger of two: the peak fallen through the whole
//   block, and the samples' own peak, measured as from silence (so from the last
//   loudest sample). Only when the bounds on the fallen peak cannot tell which is
//   larger are its falls worked out.
// Near the floor the block is measured sample by sample.
struct Plan {
    enum Kind { kSteps, kOwes, kStepsBesideFall };
    Kind kind = kSteps;
    int frame = 0;     // the first frame still to step through
    float peak = 0.0f; // the peak before that frame
};

Plan PlanOf(FallingPeak& state, const float* samples, int frames) {
    const Loudest loudest = FindLoudest(samples, frames);
    const Plan fromLoudest{Plan::kSteps, loudest.last + 1, loudest.level};
    if (loudest.last >= 0 && FallenAtMost(state.peak, state.falls) <= loudest.level) {
        return fromLoudest;
    }
    const uint32_t owed = state.falls + uint32_t(frames);
    const double fallenAtLeast = FallenAtLeast(state.peak, owed);
    if (owed <= kMaxOwedFalls && fallenAtLeast >= loudest.level) {
        return {Plan::kOwes, frames, state.peak};
    }
    if (loudest.last >= 0 && fallenAtLeast >= kOrderedAbove) {
        return {Plan::kStepsBesideFall, fromLoudest.frame, fromLoudest.peak};
    }
    state = {state.Reading(), 0};
    return {Plan::kSteps, 0, state.peak};
}

float Run(float peak, const float* samples, int from, int to) {
    for (int i = from; i < to; ++i) {
        peak = Step(peak, samples[i]);
    }
    return peak;
}

// The peak after the block, from its plan, the peak before it and what the steps
// ended on.
FallingPeak Outcome(const Plan& plan, const FallingPeak& before, float end, int frames) {
    switch (plan.kind) {
    case Plan::kSteps:
        break;
    case Plan::kOwes:
        return {before.peak, before.falls + uint32_t(frames)};
    case Plan::kStepsBesideFall: {
        const uint32_t owed = before.falls + uint32_t(frames);
        if (end >= FallenAtMost(before.peak, owed)) {
            break;
        }
        if (owed <= kMaxOwedFalls && end <= FallenAtLeast(before.peak, owed)) {
            return {before.peak, owed};
        }
        const float fallen = FallThrough(before.peak, owed);
        return {end > fallen ? end : fallen, 0};
    }
    }
    return {end, 0};
}

} // namespace

float FallingPeak::Reading() const {
    return FallThrough(peak, falls);
}

uint64_t FallingPeak::Packed() const {
    return uint64_t(std::bit_cast<uint32_t>(peak)) | uint64_t(falls) << 32;
}

FallingPeak FallingPeak::Unpacked(uint64_t bits) {
    return {std::bit_cast<float>(uint32_t(bits)), uint32_t(bits >> 32)};
}

float PeakMeter::MeasureBySample(float peak, const float* samples, int frames) {
    return Run(peak, samples, 0, frames);
}

float PeakMeter::Measure(float peak, const float* samples, int frames) {
    FallingPeak state{peak, 0};
    const Plan plan = PlanOf(state, samples, frames);
    const float end = Run(plan.peak, samples, plan.frame, frames);
    return Outcome(plan, state, end, frames).Reading();
}

void PeakMeter::MeasureStereo(FallingPeak& left, FallingPeak& right, const float* leftSamples,
                              const float* rightSamples, int frames) {
    // Planning works out the falls it must, so what it leaves is the peak before.
    const Plan planLeft = PlanOf(left, leftSamples, frames);
    const Plan planRight = PlanOf(right, rightSamples, frames);
    // The plan that starts first runs alone up to where the other starts; then each
    // peak waits on its own last value, and running both in one loop overlaps them.
    const int both = std::max(planLeft.frame, planRight.frame);
    float l = Run(planLeft.peak, leftSamples, planLeft.frame, both);
    float r = Run(planRight.peak, rightSamples, planRight.frame, both);
    for (int i = both; i < frames; ++i) {
        l = Step(l, leftSamples[i]);
        r = Step(r, rightSamples[i]);
    }
    left = Outcome(planLeft, left, l, frames);
    right = Outcome(planRight, right, r, frames);
}

} // namespace vantreel
