#include "effects/Compressor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vantreel {
namespace {

constexpr int kBlock = 256;

// Feeds a constant level on both channels for `blocks` blocks and returns the
// level of the last output block.
float SettleOn(Compressor& c, const CompressorSettings& s, float level, int blocks = 400) {
    std::vector<float> left(kBlock), right(kBlock);
    for (int b = 0; b < blocks; ++b) {
        std::fill(left.begin(), left.end(), level);
        std::fill(right.begin(), right.end(), level);
        c.Process(left.data(), right.data(), kBlock, s);
    }
    EXPECT_EQ(left, right);
    return left.back();
}

TEST(Compressor, RatioSetsTheSlopeAboveTheThreshold) {
    Compressor limit;
    EXPECT_NEAR(SettleOn(limit, {64, 16, 0}, 0.8f), 0.5, 1e-5); // held at the threshold
    Compressor twoToOne;
    EXPECT_NEAR(SettleOn(twoToOne, {32, 1, 0}, 0.8f), 0.25 * std::sqrt(0.8 / 0.25), 1e-5);
    Compressor fourToOne;
    EXPECT_NEAR(SettleOn(fourToOne, {32, 3, 0}, 0.8f), 0.25 * std::pow(0.8 / 0.25, 0.25), 1e-5);
    Compressor below;
    EXPECT_NEAR(SettleOn(below, {100, 16, 0}, 0.5f), 0.5, 1e-5);
}

TEST(Compressor, ThresholdZeroActsAsOneHundredth) {
    Compressor c;
    EXPECT_NEAR(SettleOn(c, {0, 16, 0}, 0.5f), 0.01, 1e-6);
}

// The level follows the larger signed sample of each frame, not the louder one.
TEST(Compressor, LevelTakesTheLargerSignedSample) {
    std::vector<float> left(kBlock, -0.9f), right(kBlock, 0.1f);
    EXPECT_NEAR(Compressor::Level(left.data(), right.data(), kBlock), 0.1, 1e-7);
    EXPECT_NEAR(Compressor::Level(right.data(), left.data(), kBlock), 0.1, 1e-7);

    // So -0.9 against 0.1 stays below a threshold of 0.2 and passes untouched.
    Compressor c;
    for (int b = 0; b < 400; ++b) {
        std::fill(left.begin(), left.end(), -0.9f);
        std::fill(right.begin(), right.end(), 0.1f);
        c.Process(left.data(), right.data(), kBlock, {26, 16, 0});
    }
    EXPECT_NEAR(left.back(), -0.9f, 1e-5);
}

// The envelope starts at 0 and moves towards the target by 1 / (22 (smoothness + 1))
// per frame; while bypassed it holds, and the signal is left alone.
TEST(Compressor, EnvelopeFadesInAtTheSmoothingRateAndHoldsWhileBypassed) {
    for (int smoothness : {0, 16, 128}) {
        SCOPED_TRACE(smoothness);
        Compressor c;
        std::vector<float> left(kBlock, 0.1f), right(kBlock, 0.1f);
        c.Process(left.data(), right.data(), kBlock, {100, 4, smoothness});
        const double rate = 1.0 / (22.0 * (smoothness + 1));
        EXPECT_NEAR(c.Envelope(), 1 - std::pow(1 - rate, kBlock), 1e-5);
        EXPECT_NEAR(left[0], 0.1 * rate, 1e-7);

        const float held = c.Envelope();
        std::vector<float> loud(kBlock, 0.9f), alsoLoud(kBlock, 0.9f);
        c.Process(loud.data(), alsoLoud.data(), kBlock, {10, 0, smoothness});
        EXPECT_EQ(c.Envelope(), held);
        EXPECT_EQ(loud, std::vector<float>(kBlock, 0.9f));
    }
}

} // namespace
} // namespace vantreel
