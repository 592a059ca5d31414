#pragma once
// Four floats in one SSE register, for work the compiler would not vectorise by
// itself: recursions run side by side, sums held in registers across a loop. A GCC
// and Clang vector extension; the arithmetic per lane is plain float arithmetic.

#include <cstdint>
#include <cstring>

namespace vantreel {

using FloatLanes = float __attribute__((vector_size(16)));
using BitLanes = int32_t __attribute__((vector_size(16)));
constexpr int kLaneCount = 4;

inline FloatLanes LoadLanes(const float* from) {
    FloatLanes lanes;
    std::memcpy(&lanes, from, sizeof lanes);
    return lanes;
}

inline void StoreLanes(float* to, FloatLanes lanes) {
    std::memcpy(to, &lanes, sizeof lanes);
}

// Lanes picked from a (0..3) and b (4..7).
template <int I0, int I1, int I2, int I3> FloatLanes Shuffle(FloatLanes a, FloatLanes b) {
#if defined(__clang__)
    return __builtin_shufflevector(a, b, I0, I1, I2, I3);
#else
    return __builtin_shuffle(a, b, BitLanes{I0, I1, I2, I3});
#endif
}

// Rows become columns: afterwards r<j> holds lane j of each former row, in row order.
inline void Transpose(FloatLanes& r0, FloatLanes& r1, FloatLanes& r2, FloatLanes& r3) {
    const FloatLanes t0 = Shuffle<0, 4, 1, 5>(r0, r1);
    const FloatLanes t1 = Shuffle<2, 6, 3, 7>(r0, r1);
    const FloatLanes t2 = Shuffle<0, 4, 1, 5>(r2, r3);
    const FloatLanes t3 = Shuffle<2, 6, 3, 7>(r2, r3);
    r0 = Shuffle<0, 1, 4, 5>(t0, t2);
    r1 = Shuffle<2, 3, 6, 7>(t0, t2);
    r2 = Shuffle<0, 1, 4, 5>(t1, t3);
    r3 = Shuffle<2, 3, 6, 7>(t1, t3);
}

} // namespace vantreel
