#include "engine/OutputSamples.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantreel {

namespace {

#if defined(__SSE2__)
// Two samples as ToOutputSample converts them, in the low two lanes. NaN becomes 0
// first; the limits are applied before the floor, which gives them back unchanged.
__m128i ConvertPair(__m128d x) {
    x = _mm_and_pd(x, _mm_cmpord_pd(x, x));
    x = _mm_min_pd(_mm_max_pd(x, _mm_set1_pd(-kMaxSample)), _mm_set1_pd(kMaxSample));
    // FloorToInt's arithmetic: 2x - 0.5 rounded to nearest, shifted right once.
    const __m128d twice = _mm_sub_pd(_mm_mul_pd(x, _mm_set1_pd(2.0)), _mm_set1_pd(0.5));
    return _mm_srai_epi32(_mm_cvtpd_epi32(twice), 1);
}

// Four frames: left and right interleaved, then converted two samples at a time.
void ConvertFourFrames(const float* left, const float* right, __m128d volume, int16_t* out) {
    const __m128 l = _mm_loadu_ps(left);
    const __m128 r = _mm_loadu_ps(right);
    const __m128 low = _mm_unpacklo_ps(l, r);  // L0 R0 L1 R1
    const __m128 high = _mm_unpackhi_ps(l, r); // L2 R2 L3 R3
    const __m128i f0 = ConvertPair(_mm_mul_pd(_mm_cvtps_pd(low), volume));
    const __m128i f1 = ConvertPair(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(low, low)), volume));
    const __m128i f2 = ConvertPair(_mm_mul_pd(_mm_cvtps_pd(high), volume));
    const __m128i f3 = ConvertPair(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(high, high)), volume));
    const __m128i first = _mm_unpacklo_epi64(f0, f1);
    const __m128i second = _mm_unpacklo_epi64(f2, f3);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packs_epi32(first, second));
}
#endif

} // namespace

void ToOutputFrames(const float* left, const float* right, double volume, int frames,
                    int16_t* out) {
    int i = 0;
#if defined(__SSE2__)
    const __m128d scale = _mm_set1_pd(volume);
    for (; i + 4 <= frames; i += 4) {
        ConvertFourFrames(left + i, right + i, scale, out + 2 * i);
    }
#endif
    for (; i < frames; ++i) {
        out[2 * i] = ToOutputSample(left[i] * volume);
        out[2 * i + 1] = ToOutputSample(right[i] * volume);
    }
}

} // namespace vantreel
