#include "effects/PeakMeter.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace vantreel
