#include "testplugins/synth/Oscillator.h"

#include <cmath>
#include <numbers>

namespace vantreel::synth {

namespace {

// Polynomial band-limited step: smooths the jump of a saw or square over the two
// samples around it, which removes most of the aliasing for very little work.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

float Oscillator::Next(Waveform shape, double increment) {
    double value = 0.0;
    switch (shape) {
    case Waveform::Saw:
        value = 2.0 * phase - 1.0 - PolyBlep(phase, increment);
        break;
    case Waveform::Square: {
        value = phase < 0.5 ? 1.0 : -1.0;
        value += PolyBlep(phase, increment);
        double shifted = phase + 0.5;
        value -= PolyBlep(shifted - std::floor(shifted), increment);
        break;
    }
    case Waveform::Sine:
        value = std::sin(2.0 * std::numbers::pi * phase);
        break;
    }
    phase += increment;
    phase -= std::floor(phase);
    return static_cast<float>(value);
}

} // namespace vantreel::synth
