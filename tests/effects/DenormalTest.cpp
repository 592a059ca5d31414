#include "effects/Denormal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace vantreel {
namespace {

// The vector flush the reverb's combs use must give the scalar flush's bits for
// every float, NaNs, infinities, zeros of both signs and denormals included: checked
// over all 2^32 patterns.
TEST(Denormal, LaneFlushMatchesScalarFlushForEveryBitPattern) {
    uint64_t mismatches = 0;
    uint32_t firstMismatch = 0;
    for (uint64_t base = 0; base < (uint64_t(1) << 32); base += kLaneCount) {
        BitLanes bits;
        for (int j = 0; j < kLaneCount; ++j) {
            bits[j] = static_cast<int32_t>(static_cast<uint32_t>(base + j));
        }
        const BitLanes flushed =
            reinterpret_cast<BitLanes>(FlushDenormalLanes(reinterpret_cast<FloatLanes>(bits)));
        for (int j = 0; j < kLaneCount; ++j) {
            const auto pattern = static_cast<uint32_t>(base + j);
            const uint32_t expected =
                std::bit_cast<uint32_t>(FlushDenormal(std::bit_cast<float>(pattern)));
            if (static_cast<uint32_t>(flushed[j]) != expected) {
                firstMismatch = mismatches == 0 ? pattern : firstMismatch;
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0u) << "first at bits 0x" << std::hex << firstMismatch;
}

TEST(Denormal, FlushKeepsNormalsAndClearsDenormalsToPositiveZero) {
    const FloatLanes in = {1.0e-40f, -1.0e-40f, -0.0f, -1.5e-38f};
    const FloatLanes out = FlushDenormalLanes(in);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(std::bit_cast<uint32_t>(out[j]), 0u) << j;
    }
    EXPECT_EQ(out[3], -1.5e-38f);
}

} // namespace
} // namespace vantreel
