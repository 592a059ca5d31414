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

// How a block can be measured with fewer dependent steps than one per sample, giving
// exactly what they would. The peak never rises by falling, so:
// - when the block starts no higher than its loudest sample, the peak at the last
//   frame holding that sample is that sample, whatever came before: the steps start
//   there;
// - when it starts higher, and merely falling through the whole block leaves it no
//   lower than the loudest sample, no sample ever overtook it: falling is the answer.
//   Otherwise the block is measured sample by sample after all.
struct Plan {
    int frame = 0;      // the first frame still to step through
    float peak = 0.0f;  // the peak before that frame
    bool falls = false; // only falls, and must end at `loudest` or above
    float loudest = 0.0f;
};

Plan PlanOf(float peak, const float* samples, int frames) {
    const Loudest loudest = FindLoudest(samples, frames);
    if (loudest.last >= 0 && peak <= loudest.level) {
        return {loudest.last + 1, loudest.level, false, loudest.level};
    }
    return {0, peak, true, loudest.level};
}

template <bool kFalls> float Advance(float peak, float sample) {
    return kFalls ? Fall(peak) : Step(peak, sample);
}

template <bool kFalls> float Run(float peak, const float* samples, int from, int to) {
    for (int i = from; i < to; ++i) {
        peak = Advance<kFalls>(peak, samples[i]);
    }
    return peak;
}

float Run(const Plan& plan, const float* samples, int from, int to) {
    return plan.falls ? Run<true>(plan.peak, samples, from, to)
                      : Run<false>(plan.peak, samples, from, to);
}

// Each peak waits on its own last value: running both in one loop overlaps them.
template <bool kLeftFalls, bool kRightFalls>
void RunBoth(float& l, float& r, const float* left, const float* right, int from, int to) {
    for (int i = from; i < to; ++i) {
        l = Advance<kLeftFalls>(l, left[i]);
        r = Advance<kRightFalls>(r, right[i]);
    }
}

// The planned peak at the end of the block: a fall that some sample would have
// overtaken is measured again from `start`, one sample at a time.
float Finish(const Plan& plan, float end, float start, const float* samples, int frames) {
    if (plan.falls && end < plan.loudest) {
        return PeakMeter::MeasureBySample(start, samples, frames);
    }
    return end;
}

} // namespace

float PeakMeter::MeasureBySample(float peak, const float* samples, int frames) {
    for (int i = 0; i < frames; ++i) {
        peak = Step(peak, samples[i]);
    }
    return peak;
}

float PeakMeter::Measure(float peak, const float* samples, int frames) {
    const Plan plan = PlanOf(peak, samples, frames);
    return Finish(plan, Run(plan, samples, plan.frame, frames), peak, samples, frames);
}

void PeakMeter::MeasureStereo(float& peakLeft, float& peakRight, const float* left,
                              const float* right, int frames) {
    Plan planLeft = PlanOf(peakLeft, left, frames);
    Plan planRight = PlanOf(peakRight, right, frames);
    // The plan that starts first runs alone up to where the other starts.
    const int both = std::max(planLeft.frame, planRight.frame);
    float l = Run(planLeft, left, planLeft.frame, both);
    float r = Run(planRight, right, planRight.frame, both);
    if (planLeft.falls) {
        if (planRight.falls) {
            RunBoth<true, true>(l, r, left, right, both, frames);
        } else {
            RunBoth<true, false>(l, r, left, right, both, frames);
        }
    } else if (planRight.falls) {
        RunBoth<false, true>(l, r, left, right, both, frames);
    } else {
        RunBoth<false, false>(l, r, left, right, both, frames);
    }
    const float startLeft = peakLeft;
    const float startRight = peakRight;
    peakLeft = Finish(planLeft, l, startLeft, left, frames);
    peakRight = Finish(planRight, r, startRight, right, frames);
}

} // namespace vantreel
