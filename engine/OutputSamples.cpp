#include "engine/OutputSamples.h"

#include "engine/ProcessorFeatures.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
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

#if defined(__x86_64__)
// ConvertPair on four samples at once, with the same operations per sample.
[[gnu::target("avx2")]] __m128i ConvertFour(__m256d x) {
    x = _mm256_and_pd(x, _mm256_cmp_pd(x, x, _CMP_ORD_Q));
    x = _mm256_min_pd(_mm256_max_pd(x, _mm256_set1_pd(-kMaxSample)), _mm256_set1_pd(kMaxSample));
    const __m256d twice = _mm256_sub_pd(_mm256_mul_pd(x, _mm256_set1_pd(2.0)), _mm256_set1_pd(0.5));
    return _mm_srai_epi32(_mm256_cvtpd_epi32(twice), 1);
}

// Four frames as ConvertFourFrames gives them, two samples more per instruction.
[[gnu::target("avx2")]] int ConvertOnAvx2(const float* left, const float* right, double volume,
                                          int frames, int16_t* out) {
    const __m256d scale = _mm256_set1_pd(volume);
    int i = 0;
    for (; i + 4 <= frames; i += 4) {
        const __m128 l = _mm_loadu_ps(left + i);
        const __m128 r = _mm_loadu_ps(right + i);
        const __m128i low =
            ConvertFour(_mm256_mul_pd(_mm256_cvtps_pd(_mm_unpacklo_ps(l, r)), scale));
        const __m128i high =
            ConvertFour(_mm256_mul_pd(_mm256_cvtps_pd(_mm_unpackhi_ps(l, r)), scale));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_packs_epi32(low, high));
    }
    return i;
}
#endif

// The frames from `i` on, as the processor without AVX2 converts them.
void ConvertFrom(int i, const float* left, const float* right, double volume, int frames,
                 int16_t* out) {
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

} // namespace

void ToOutputFrames(const float* left, const float* right, double volume, int frames,
                    int16_t* out) {
#if defined(__x86_64__)
    if (ProcessorHasAvx2()) {
        const int done = ConvertOnAvx2(left, right, volume, frames, out);
        ConvertFrom(done, left, right, volume, frames, out);
        return;
    }
#endif
    ConvertFrom(0, left, right, volume, frames, out);
}

void ToOutputFramesWithoutAvx2(const float* left, const float* right, double volume, int frames,
                               int16_t* out) {
    ConvertFrom(0, left, right, volume, frames, out);
}

} // namespace vantreel
