#pragma once
// Recursive filters that decay towards zero end in denormal numbers, which the CPU
// handles many times slower. Values whose exponent bits are all zero are flushed.

#include <bit>
#include <cstdint>

namespace vantreel {

constexpr uint32_t kFloatExponentBits = 0x7f800000u;

// Zero for zero and denormal inputs, the input otherwise.
inline float FlushDenormal(float value) {
    return (std::bit_cast<uint32_t>(value) & kFloatExponentBits) == 0 ? 0.0f : value;
}

} // namespace vantreel
