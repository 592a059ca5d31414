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

// Blocks of every shape a mix gives. Their levels lie around the peak, so blocks
// that reset it, nearly reset it, just fail to overtake its fall, or stay below it
// all occur.
std::vector<float> SomeBlock(std::mt19937& random, int kind, int frames, float peak) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float around = std::max(peak, 1e-3f);
    // One block in three lies within the few per cent a block's fall covers.
    const float level = random() % 3 == 0 ? around * (0.97f + 0.035f * unit(random))
                                          : around * std::exp2(2.5f * unit(random) - 1.5f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> block(frames, 0.0f);
    const int loudestAt = frames > 0 ? int(random() % frames) : 0;
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
        case 8:
            // The loudest value several times over, with either sign.
            block[i] = unit(random) < 0.1f ? (i % 2 ? -level : level) : 0.5f * level;
            break;
        case 9:
            // Around the floor, where falling stops.
            block[i] = float(kPeakFloor) * (0.9998f + 0.0004f * unit(random));
            break;
        case 10:
            block[i] = i == loudestAt ? level : (i < loudestAt ? 0.99f : 0.9f) * level;
            break;
        case 11:
            block[i] = i % 3 ? -0.0f : std::numeric_limits<float>::denorm_min();
            break;
        default:
            block[i] = (i % 2 ? -1.0f : 1.0f) * level * float(frames - i);
            break;
        }
    }
    return block;
}

constexpr int kBlockKinds = 13;

// A peak to start from, now and then where the fall stops: on the floor, on the
// floats either side of it, or a little above it.
float SomeStart(std::mt19937& random, float carried) {
    const float floor = float(kPeakFloor);
    switch (random() % 16) {
    case 0:
        return floor;
    case 1:
        return std::nextafter(floor, 1.0f);
    case 2:
        return std::nextafter(floor, 0.0f);
    case 3:
        return floor * 1.0001f;
    case 4:
        return 0.0f;
    default:
        return carried;
    }
}

// The block measures skip what cannot matter and put off falls nobody needs yet:
// they must end on the very bits of a run over every sample, on one channel and on
// two, whatever the block and the peak, and however long the falls were put off.
TEST(PeakMeter, BlocksEndWhereSampleBySampleEnds) {
    std::mt19937 random(5);
    FallingPeak left;
    FallingPeak right;
    float expectedLeft = 0.0f;
    float expectedRight = 0.0f;
    for (int n = 0; n < 20000; ++n) {
        const int frames = (n % 7 == 0) ? int(random() % 9) : 256;
        // Long quiet stretches after loud ones, as after a song's hit, and stretches
        // of blocks well below the peak.
        const int stretch = (n / 40) % 4;
        const int kind = stretch == 2 ? 0 : int(random() % kBlockKinds);
        if (random() % 8 == 0) {
            // A fresh start: a peak that owes nothing.
            expectedLeft = SomeStart(random, expectedLeft);
            expectedRight = SomeStart(random, expectedRight);
            left = {expectedLeft, 0};
            right = {expectedRight, 0};
        }
        const float scale = stretch == 3 ? 0.1f : 1.0f;
        std::vector<float> l = SomeBlock(random, kind, frames, expectedLeft);
        std::vector<float> r =
            SomeBlock(random, int(random() % kBlockKinds), frames, expectedRight);
        for (float& x : l) {
            x *= scale;
        }
        const float fromLeft = left.Reading();
        ASSERT_EQ(Bits(expectedLeft), Bits(fromLeft)) << "block " << n;
        const float onlyLeft = PeakMeter::MeasureBySample(expectedLeft, l.data(), frames);
        ASSERT_EQ(Bits(onlyLeft), Bits(PeakMeter::Measure(fromLeft, l.data(), frames)))
            << "block " << n << " kind " << kind << " from " << fromLeft;
        expectedLeft = onlyLeft;
        expectedRight = PeakMeter::MeasureBySample(expectedRight, r.data(), frames);
        PeakMeter::MeasureStereo(left, right, l.data(), r.data(), frames);
        ASSERT_LE(left.falls, kMaxOwedFalls);
        ASSERT_EQ(Bits(expectedLeft), Bits(left.Reading())) << "block " << n << " kind " << kind;
        ASSERT_EQ(Bits(expectedRight), Bits(right.Reading())) << "block " << n;
        ASSERT_EQ(Bits(left.Reading()), Bits(FallingPeak::Unpacked(left.Packed()).Reading()));
    }
}

// Quiet blocks under a falling peak put its falls off, up to the limit; a loud block
// forgets them, and the reading is the same as falling all the way.
TEST(PeakMeter, QuietBlocksOweTheirFallsAndALoudOneForgetsThem) {
    std::vector<float> quiet(256, 0.01f);
    FallingPeak left{0.8f, 0};
    FallingPeak right{0.8f, 0};
    float expected = 0.8f;
    for (int n = 0; n < 40; ++n) {
        PeakMeter::MeasureStereo(left, right, quiet.data(), quiet.data(), 256);
        expected = PeakMeter::MeasureBySample(expected, quiet.data(), 256);
        if (n < int(kMaxOwedFalls / 256)) {
            EXPECT_EQ(left.falls, uint32_t(256 * (n + 1))); // nothing worked out yet
        }
        EXPECT_LE(left.falls, kMaxOwedFalls);
        ASSERT_EQ(Bits(expected), Bits(left.Reading()));
    }
    std::vector<float> loud(256, 0.0f);
    loud[100] = -0.9f;
    PeakMeter::MeasureStereo(left, right, loud.data(), loud.data(), 256);
    EXPECT_EQ(left.falls, 0u);
    EXPECT_EQ(Bits(PeakMeter::MeasureBySample(expected, loud.data(), 256)), Bits(left.Reading()));
}

// A peak that falls through a block and the one loud sample that would overtake it
// only at the very end, or just not: the fall alone must not stand for the block.
TEST(PeakMeter, ALateSampleOvertakesAFallingPeak) {
    std::vector<float> block(256, 0.0f);
    const float start = 0.5f;
    const float fallen = PeakMeter::MeasureBySample(start, block.data(), 256);
    for (float last : {std::nextafter(fallen, 1.0f), fallen, std::nextafter(fallen, 0.0f)}) {
        for (int at : {0, 1, 128, 254, 255}) {
            std::fill(block.begin(), block.end(), 0.0f);
            block[at] = -last;
            const float expected = PeakMeter::MeasureBySample(start, block.data(), 256);
            EXPECT_EQ(Bits(expected), Bits(PeakMeter::Measure(start, block.data(), 256)))
                << "at " << at;
            FallingPeak l{start, 0};
            FallingPeak r{start, 700}; // owing falls from before
            PeakMeter::MeasureStereo(l, r, block.data(), block.data(), 256);
            EXPECT_EQ(Bits(expected), Bits(l.Reading()));
            const float owedFirst = FallingPeak{start, 700}.Reading();
            EXPECT_EQ(Bits(PeakMeter::MeasureBySample(owedFirst, block.data(), 256)),
                      Bits(r.Reading()));
        }
    }
}

} // namespace
} // namespace vantreel
