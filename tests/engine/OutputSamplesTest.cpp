// The block conversion to 16-bit output must give, sample for sample, what the
// one-sample conversion gives: the output is compared bit for bit across versions.

#include "engine/OutputSamples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace vantreel {
namespace {

std::vector<float> AwkwardSamples(int volume) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> samples = {0.0f,
                                  -0.0f,
                                  std::numeric_limits<float>::quiet_NaN(),
                                  inf,
                                  -inf,
                                  std::numeric_limits<float>::denorm_min(),
                                  -std::numeric_limits<float>::denorm_min(),
                                  std::numeric_limits<float>::max(),
                                  -std::numeric_limits<float>::max()};
    // Around integers, halves and the limits once scaled, where a floor or a clip
    // done slightly differently would show.
    const double scale = volume == 0 ? 1.0 : double(volume);
    for (double target : {0.0, 0.5, 1.0, -0.5, -1.0, 1234.5, -1234.5, 32766.0, 32766.5, 32767.0,
                          32768.0, -32766.5, -32767.0, -32767.5, -32768.0, 1e9}) {
        const float at = float(target / scale);
        samples.push_back(at);
        samples.push_back(std::nextafter(at, inf));
        samples.push_back(std::nextafter(at, -inf));
        samples.push_back(-at);
    }
    std::mt19937 random(3);
    std::uniform_real_distribution<float> level(-600.0f, 600.0f);
    std::uniform_real_distribution<float> exponent(-30.0f, 12.0f);
    for (int i = 0; i < 2000; ++i) {
        samples.push_back(i % 2 ? level(random) : std::exp2(exponent(random)) * (i % 4 ? 1 : -1));
    }
    return samples;
}

TEST(OutputSamples, BlocksConvertExactlyAsSingleSamplesDo) {
    for (int volume : {0, 1, 55, 64, 100, 127}) {
        const std::vector<float> left = AwkwardSamples(volume);
        std::vector<float> right(left.rbegin(), left.rend());
        // Every length up to a few vectors, so the tail after the last group of four runs.
        for (int frames : {int(left.size()), 1, 2, 3, 5, 7}) {
            for (auto* convert : {&ToOutputFrames, &ToOutputFramesWithoutAvx2}) {
                std::vector<int16_t> block(2 * frames, 99);
                convert(left.data(), right.data(), volume, frames, block.data());
                for (int i = 0; i < frames; ++i) {
                    ASSERT_EQ(ToOutputSample(left[i] * double(volume)), block[2 * i])
                        << "volume " << volume << ", left " << left[i];
                    ASSERT_EQ(ToOutputSample(right[i] * double(volume)), block[2 * i + 1])
                        << "volume " << volume << ", right " << right[i];
                }
            }
        }
    }
}

TEST(OutputSamples, TheOneSampleConversionFloorsAndLimits) {
    EXPECT_EQ(0, ToOutputSample(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(kMaxSample, ToOutputSample(1e30));
    EXPECT_EQ(-kMaxSample, ToOutputSample(-1e30));
    EXPECT_EQ(-kMaxSample, ToOutputSample(-32767.5)); // never -32768
    EXPECT_EQ(-2, ToOutputSample(-1.5));
    EXPECT_EQ(1, ToOutputSample(1.999));
    EXPECT_EQ(32766, ToOutputSample(32766.9));
}

} // namespace
} // namespace vantreel
