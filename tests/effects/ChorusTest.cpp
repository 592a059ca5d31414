#include "effects/Chorus.h"

#include "SignalHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace vantreel {
namespace {

constexpr int kBlock = 256;

struct ChorusRun {
    std::vector<float> left;
    std::vector<float> right;
};

ChorusRun RunChorus(Chorus& chorus, const ChorusSettings& s, std::vector<float> left,
                    std::vector<float> right) {
    test::InBlocks(left, right, kBlock,
                   [&](float* l, float* r, int frames) { chorus.Process(l, r, frames, s); });
    return {left, right};
}

std::vector<float> Ramp(int frames) {
    std::vector<float> v(frames);
    for (int i = 0; i < frames; ++i) {
        v[i] = float(i);
    }
    return v;
}

// Without modulation the chorus is a plain delay of u = 0.8 chorusDelay + 4 samples;
// where u is whole, the read lands on a stored sample and returns it exactly.
TEST(Chorus, NoModulationIsAFixedDelayOfU) {
    for (int chorusDelay : {0, 5, 1000}) {
        SCOPED_TRACE(chorusDelay);
        const int u = int(0.8 * chorusDelay + 4.0);
        ChorusSettings s;
        s.chorusDelay = chorusDelay;
        s.chorusMod = 0;
        s.lfoSpeed = 200;
        auto chorus = std::make_unique<Chorus>();
        test::Noise noise(7);
        const int frames = 8 * kBlock;
        std::vector<float> left(frames), right(frames);
        for (int i = 0; i < frames; ++i) {
            left[i] = noise.Next();
            right[i] = noise.Next();
        }
        const ChorusRun out = RunChorus(*chorus, s, left, right);
        for (int i = 0; i < frames; ++i) {
            ASSERT_EQ(out.left[i], i < u ? 0.0f : left[i - u]) << i;
            ASSERT_EQ(out.right[i], i < u ? 0.0f : right[i - u]) << i;
        }
    }
}

// The cubic reproduces a straight line, so on a ramp the output tells the read
// distance: a fractional u of 4.8 must read 4.8 samples back, not 4.2.
TEST(Chorus, FractionalDistanceInterpolatesBetweenTheRightSamples) {
    ChorusSettings s;
    s.chorusDelay = 1; // u = 4.8
    s.chorusMod = 0;
    auto chorus = std::make_unique<Chorus>();
    const int frames = 2 * kBlock;
    const ChorusRun out = RunChorus(*chorus, s, Ramp(frames), Ramp(frames));
    for (int i = 8; i < frames; ++i) {
        ASSERT_NEAR(out.left[i], i - 4.8, 1e-4) << i;
        ASSERT_NEAR(out.right[i], i - 4.8, 1e-4) << i;
    }
}

// The sweep is added on the left and subtracted on the right: the two distances
// straddle u, and at phase 0 (a frozen LFO) they are equal.
TEST(Chorus, SweepMovesTheChannelsInOppositeDirections) {
    ChorusSettings s; // defaults: u = 36, depth about 14.2
    s.lfoSpeed = 256;
    auto chorus = std::make_unique<Chorus>();
    const int frames = 40 * kBlock;
    const ChorusRun out = RunChorus(*chorus, s, Ramp(frames), Ramp(frames));
    const double u = 36.0;
    const double depth = 0.8 * u * (63 / 128.0);
    double widest = 0;
    for (int i = 64; i < frames; ++i) {
        const double sweep = std::sin(i * 256 * 2.5e-6) * depth;
        ASSERT_NEAR(out.left[i], i - (u + sweep), 2e-3) << i;
        ASSERT_NEAR(out.right[i], i - (u - sweep), 2e-3) << i;
        widest = std::max(widest, double(out.right[i] - out.left[i]));
    }
    EXPECT_NEAR(widest, 2 * depth, 0.01);

    s.lfoSpeed = 0;
    auto frozen = std::make_unique<Chorus>();
    const ChorusRun still = RunChorus(*frozen, s, Ramp(frames), Ramp(frames));
    EXPECT_EQ(still.left, still.right);
    EXPECT_EQ(frozen->LfoPhase(), 0.0);
}

TEST(Chorus, FullFeedbackRecirculatesAtUnity) {
    ChorusSettings s;
    s.chorusDelay = 120; // u = 100
    s.chorusMod = 0;
    s.chorusFeedback = 128;
    auto chorus = std::make_unique<Chorus>();
    const int frames = 8 * kBlock;
    std::vector<float> impulse(frames);
    impulse[0] = 0.5f;
    const ChorusRun out = RunChorus(*chorus, s, impulse, impulse);
    for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(out.left[i], i > 0 && i % 100 == 0 ? 0.5f : 0.0f) << i;
    }
}

// The deepest setting the window allows asks for up to about 5905 samples of a
// 4096-sample line. The sweep then shrinks to fit; settings that fit keep theirs.
TEST(Chorus, SweepStaysInsideTheLine) {
    const ChorusSweep fitting = Chorus::Sweep({256, 2000, 128, 0});
    EXPECT_DOUBLE_EQ(fitting.base, 0.8 * 2000 + 4.0);
    EXPECT_DOUBLE_EQ(fitting.depth, 0.8 * fitting.base);

    const ChorusSweep deepest = Chorus::Sweep({256, 4096, 128, 0});
    EXPECT_DOUBLE_EQ(deepest.base, 0.8 * 4096 + 4.0);
    EXPECT_DOUBLE_EQ(deepest.base + deepest.depth, kChorusMaxDistance);
    EXPECT_GT(deepest.base - deepest.depth, 1.0);
}

// Runs the deepest setting over a whole LFO period on a ramp: every output must be
// the ramp read at the (shrunk) sweep's distance, which is only true when all four
// interpolation taps were read from the right place inside the line.
TEST(Chorus, DeepestSettingReadsGenuineSamples) {
    const ChorusSettings s{256, 4096, 128, 0};
    const ChorusSweep sweep = Chorus::Sweep(s);
    auto chorus = std::make_unique<Chorus>();
    const int frames = 60 * kBlock;
    const ChorusRun out = RunChorus(*chorus, s, Ramp(frames), Ramp(frames));
    for (int i = kChorusLineLength; i < frames; ++i) {
        const double swing = std::sin(i * 256 * 2.5e-6) * sweep.depth;
        ASSERT_NEAR(out.left[i], i - (sweep.base + swing), 0.02) << i;
        ASSERT_NEAR(out.right[i], i - (sweep.base - swing), 0.02) << i;
    }
}

} // namespace
} // namespace vantreel
