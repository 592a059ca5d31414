#pragma once
// Recursive filters that decay towards zero end in denormal numbers, which the CPU
// handles many times slower. Values whose exponent bits are all zero are flushed.

#include "effects/FloatLanes.h"

#include <bit>
#include <cstdint>

namespace vantreel {

constexpr uint32_t kFloatExponentBits = 0x7f800000u;

// Zero for zero and denormal inputs, the input otherwise.
inline float FlushDenormal(float value) {
    return (std::bit_cast<uint32_t>(value) & kFloatExponentBits) == 0 ? 0.0f : value;
}

// FlushDenormal on each lane: a lane whose exponent bits are all zero becomes +0.0
// (all bits clear), any other lane keeps its bits.
inline FloatLanes FlushDenormalLanes(FloatLanes value) {
    const BitLanes bits = reinterpret_cast<BitLanes>(value);
    const BitLanes keep = (bits & static_cast<int32_t>(kFloatExponentBits)) != 0;
    return reinterpret_cast<FloatLanes>(bits & keep);
}

} // namespace vantreel
