// The LFO phase's jump over many samples must land exactly where single steps do:
// a rested chorus that came back one ulp off would no longer match the full render.

#include "effects/WrappedPhase.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace vantreel {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

double Stepped(double phase, double inc, double period, long steps) {
    for (long i = 0; i < steps; ++i) {
        phase = StepWrappedPhase(phase, inc, period);
    }
    return phase;
}

// Jumps block by block, as the chorus does, and compares after every block.
void ExpectSameWalk(double phase, double inc, double period, long blockSteps, int blocks) {
    double jumped = phase;
    double stepped = phase;
    for (int b = 0; b < blocks; ++b) {
        jumped = AdvanceWrappedPhase(jumped, inc, period, blockSteps);
        stepped = Stepped(stepped, inc, period, blockSteps);
        ASSERT_EQ(std::bit_cast<uint64_t>(stepped), std::bit_cast<uint64_t>(jumped))
            << "start " << phase << " inc " << inc << " block " << b;
    }
}

TEST(WrappedPhase, JumpsLandExactlyWhereSingleStepsDo) {
    // Every LFO speed the chorus offers, from a phase of 0, over several wraps.
    for (int speed = 0; speed <= 1000; speed += 37) {
        ExpectSameWalk(0.0, speed * 2.5e-6, kTwoPi, 256, 200);
    }
    // Random phases and increments, some large, and odd block lengths.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> anyPhase(0.0, kTwoPi);
    std::uniform_real_distribution<double> anyLog(-40.0, 1.0);
    for (int n = 0; n < 300; ++n) {
        const double inc = std::exp2(anyLog(random));
        ExpectSameWalk(anyPhase(random), inc, kTwoPi, 1 + long(random() % 700), 20);
    }
}

TEST(WrappedPhase, EdgesOfTheShortcutStayExact) {
    // Just below the wrap and just below binade tops.
    for (double start : {std::nextafter(kTwoPi, 0.0), std::nextafter(4.0, 0.0),
                         std::nextafter(2.0, 0.0), std::nextafter(1.0, 0.0), 1e-300}) {
        ExpectSameWalk(start, 3e-7, kTwoPi, 256, 50);
        ExpectSameWalk(start, 1e-3, kTwoPi, 256, 50);
    }
    // Increments halfway between grid points of [4, 8): each sum rounds to even, so
    // the step alternates with the phase.
    const double grid = std::ldexp(1.0, -50);
    for (double halves : {1.5, 2.5, 1e6 + 0.5}) {
        ExpectSameWalk(4.0 + 3 * grid, halves * grid, kTwoPi, 256, 20);
        ExpectSameWalk(4.0 + 4 * grid, halves * grid, kTwoPi, 256, 20);
    }
    // Increments lost in rounding, or below half the grid, and none at all.
    ExpectSameWalk(5.0, 0.25 * grid, kTwoPi, 100000, 3);
    ExpectSameWalk(5.0, 0.5 * grid, kTwoPi, 1000, 3);
    ExpectSameWalk(5.0, 0.0, kTwoPi, 256, 3);
    // Another period, and an increment larger than it.
    ExpectSameWalk(0.1, 0.013, 1.0, 1000, 10);
    ExpectSameWalk(0.1, 1.7, 1.0, 10, 10);
}

} // namespace
} // namespace vantreel
