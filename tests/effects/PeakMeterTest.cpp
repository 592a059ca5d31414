#include "effects/PeakMeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace vantreel {
namespace {

TEST(PeakMeter, FallsFromFullScaleToItsFloorInAboutTwoSeconds) {
    std::vector<float> block(256);
    block[0] = -1.0f; // the meter reads magnitudes
    float peak = PeakMeter::Measure(0.0f, block.data(), 1);
    EXPECT_EQ(peak, 1.0f);
    block[0] = 0.0f;
    int samples = 0;
    while (peak > kPeakFloor && samples < 200000) {
        peak = PeakMeter::Measure(peak, block.data(), 1);
        ++samples;
    }
    EXPECT_NEAR(samples, 92100, 50);
    for (int i = 0; i < 1000; ++i) {
        peak = PeakMeter::Measure(peak, block.data(), 256);
    }
    EXPECT_GT(peak, 0.99 * kPeakFloor);
    EXPECT_LE(peak, kPeakFloor);
}

uint32_t Bits(float x) {
    return std::bit_cast<uint32_t>(x);
}

// Blocks of every shape a mix gives, run through the stereo meter and the one-channel
// one with the state carried from block to block. Their levels lie around the peak,
// so blocks that reset it, nearly reset it, or stay below it all occur.
std::vector<float> SomeBlock(std::mt19937& random, int kind, int frames, float peak) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float level = std::max(peak, 1e-3f) * std::exp2(2.5f * unit(random) - 1.5f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> block(frames, 0.0f);
    for (int i = 0; i < frames; ++i) {
        const float t = frames > 1 ? float(i) / float(frames - 1) : 0.0f;
        switch (kind) {
        case 0:
            break; // silence
        case 1:
            block[i] = -level;
            break;
        case 2:
            block[i] = level * t;
            break;
        case 3:
            block[i] = level * (1.0f - t) - 0.5f * level;
            break;
        case 4:
            block[i] = level * (2.0f * unit(random) - 1.0f);
            break;
        case 5:
            block[i] = unit(random) < 0.02f ? level : 0.001f * level;
            break;
        case 6:
            block[i] = unit(random) < 0.1f ? nan : level * unit(random);
            break;
        case 7:
            block[i] = nan;
            break;
        default:
            block[i] = (i % 2 ? -1.0f : 1.0f) * level * float(frames - i);
            break;
        }
    }
    return block;
}

TEST(PeakMeter, StereoGivesThePeaksOfEachChannelAlone) {
    std::mt19937 random(5);
    float left = 0.0f;
    float right = 0.0f;
    float expectedLeft = 0.0f;
    float expectedRight = 0.0f;
    for (int n = 0; n < 4000; ++n) {
        const int frames = (n % 7 == 0) ? int(random() % 9) : 256;
        // Long quiet stretches after loud ones, as after a song's hit.
        const int kind = (n / 40) % 3 == 2 ? 0 : int(random() % 9);
        const std::vector<float> l = SomeBlock(random, kind, frames, expectedLeft);
        const std::vector<float> r = SomeBlock(random, int(random() % 9), frames, expectedRight);
        PeakMeter::MeasureStereo(left, right, l.data(), r.data(), frames);
        expectedLeft = PeakMeter::Measure(expectedLeft, l.data(), frames);
        expectedRight = PeakMeter::Measure(expectedRight, r.data(), frames);
        ASSERT_EQ(Bits(expectedLeft), Bits(left)) << "block " << n << " kind " << kind;
        ASSERT_EQ(Bits(expectedRight), Bits(right)) << "block " << n;
    }
}

} // namespace
} // namespace vantreel
