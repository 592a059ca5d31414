#pragma once
// The float-to-integer conversion of output samples and meter positions.

#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantreel {

// floor(x) for every value that occurs: 2x - 0.5 rounded to nearest, shifted right once.
// Inline and, on x86-64, one conversion instruction (which rounds to nearest like
// lrint does, but is no library call): the output conversion runs it twice per frame.
// Any thread.
inline int FloorToInt(double x) {
#if defined(__SSE2__)
    return static_cast<int>(_mm_cvtsd_si64(_mm_set_sd(2.0 * x - 0.5))) >> 1;
#else
    return static_cast<int>(std::lrint(2.0 * x - 0.5)) >> 1;
#endif
}

} // namespace vantreel
