#include "effects/WrappedPhase.h"

#include <algorithm>
#include <cmath>

namespace vantreel {

namespace {

// How many steps from `phase` may be taken at once, and the exact step they share;
// 0 when the next step must be taken on its own.
long ExactRun(double phase, double inc, double period, long steps, double& step) {
    // Small phases (just after a wrap) and unusual values take single steps: the
    // difference below is then exact, and the grid is the phase's own.
    if (!(inc > 0.0 && phase >= 2.0 * inc && phase < period && std::isnormal(phase))) {
        return 0;
    }
    int exponent = 0;
    std::frexp(phase, &exponent); // phase lies in [2^(exponent-1), 2^exponent)
    const double top = std::ldexp(1.0, exponent);
    const double grid = std::ldexp(1.0, exponent - 53); // the spacing of doubles there
    // An increment exactly halfway between grid points rounds to even: the step would
    // then depend on the phase.
    const double inGrid = inc / grid;
    if (inGrid - std::floor(inGrid) == 0.5) {
        return 0;
    }
    step = (phase + inc) - phase;
    if (step == 0.0) {
        return steps; // the increment is lost in rounding: the phase stands still
    }
    // Every sum of the run stays below the binade's top and no step reaches the wrap;
    // two steps of margin cover the rounding of this estimate.
    const double room = std::min(top, period) - phase - inc - step;
    if (room <= 0.0) {
        return 0;
    }
    const double fit = std::floor(room / step) - 2.0;
    return fit < 2.0 ? 0 : static_cast<long>(std::min(fit, double(steps)));
}

} // namespace

double AdvanceWrappedPhase(double phase, double inc, double period, long steps) {
    while (steps > 0) {
        double step = 0.0;
        const long run = ExactRun(phase, inc, period, steps, step);
        if (run == 0) {
            phase = StepWrappedPhase(phase, inc, period);
            --steps;
        } else {
            // Exact: the result is a grid point of the same binade.
            phase += static_cast<double>(run) * step;
            steps -= run;
        }
    }
    return phase;
}

} // namespace vantreel
