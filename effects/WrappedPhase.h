#pragma once
// An LFO phase that grows by a fixed increment per sample and wraps at its period.
// Any thread.

namespace vantreel {

// One sample's step: the increment added, then the period taken off once it is reached.
inline double StepWrappedPhase(double phase, double inc, double period) {
    phase += inc;
    if (phase >= period) {
        phase -= period;
    }
    return phase;
}

// The phase after `steps` samples, bit for bit what `steps` calls of StepWrappedPhase
// give, but in a few operations where they stay inside one binade of the phase: there
// every sum rounds onto the same grid, so each step adds the same rounded increment.
double AdvanceWrappedPhase(double phase, double inc, double period, long steps);

} // namespace vantreel
