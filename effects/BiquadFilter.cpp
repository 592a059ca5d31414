#include "effects/BiquadFilter.h"

#include <cmath>
#include <numbers>

namespace vantreel {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kAmplitudeExponent = 0.025; // A = 10^(gain / 40)
} // namespace

void BiquadFilter::Design(const BiquadDesign& design) {
    if (design == last) {
        return;
    }
    last = design;
    const double A = std::pow(10.0, design.gain * kAmplitudeExponent);
    const double w = kTwoPi * design.frequency / design.sampleRate;
    const double sn = std::sin(w);
    const double cs = std::cos(w);
    double nb0 = 1, nb1 = 0, nb2 = 0, a0 = 1, na1 = 0, na2 = 0;
    switch (design.type) {
    case BiquadType::Peaking: {
        const double alpha = sn / (2 * design.q);
        nb0 = 1 + alpha * A;
        nb1 = -2 * cs;
        nb2 = 1 - alpha * A;
        a0 = 1 + alpha / A;
        na1 = -2 * cs;
        na2 = 1 - alpha / A;
        break;
    }
    case BiquadType::LowShelf: {
        const double beta = std::sqrt((A * A + 1) - (A - 1) * (A - 1));
        nb0 = A * ((A + 1) - (A - 1) * cs + beta * sn);
        nb1 = 2 * A * ((A - 1) - (A + 1) * cs);
        nb2 = A * ((A + 1) - (A - 1) * cs - beta * sn);
        a0 = (A + 1) + (A - 1) * cs + beta * sn;
        na1 = -2 * ((A - 1) + (A + 1) * cs);
        na2 = (A + 1) + (A - 1) * cs - beta * sn;
        break;
    }
    case BiquadType::HighShelf: {
        const double beta = std::sqrt((A * A + 1) - (A - 1) * (A - 1));
        nb0 = A * ((A + 1) + (A - 1) * cs + beta * sn);
        nb1 = -2 * A * ((A - 1) + (A + 1) * cs);
        nb2 = A * ((A + 1) + (A - 1) * cs - beta * sn);
        a0 = (A + 1) - (A - 1) * cs + beta * sn;
        na1 = 2 * ((A - 1) - (A + 1) * cs);
        na2 = (A + 1) - (A - 1) * cs - beta * sn;
        break;
    }
    }
    b0 = nb0 / a0;
    b1 = nb1 / a0;
    b2 = nb2 / a0;
    a1 = na1 / a0;
    a2 = na2 / a0;
}

void BiquadFilter::Process(float* samples, int frames) {
    State state = Load();
    for (int i = 0; i < frames; ++i) {
        samples[i] = static_cast<float>(state.Step(*this, samples[i]));
    }
    Save(state);
}

void BiquadFilter::ProcessStereo(BiquadFilter& leftFilter, BiquadFilter& rightFilter, float* left,
                                 float* right, int frames) {
    // Two independent recursions in one loop: each waits on its own last output,
    // so interleaving them hides the latency of the other.
    State l = leftFilter.Load();
    State r = rightFilter.Load();
    for (int i = 0; i < frames; ++i) {
        left[i] = static_cast<float>(l.Step(leftFilter, left[i]));
        right[i] = static_cast<float>(r.Step(rightFilter, right[i]));
    }
    leftFilter.Save(l);
    rightFilter.Save(r);
}

} // namespace vantreel
