#include "engine/SlotMix.h"

#include "effects/DenormalFill.h"
#include "engine/ProcessorFeatures.h"
#include "plugins/PluginCalls.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

// Eight-lane vectors are passed by value only between functions inlined into one
// another, so the calling convention the compiler warns about never applies.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace vantreel {

namespace {

// The mix is summed in GCC and Clang vector types: four lanes everywhere, eight where
// the processor has AVX2. Each lane adds in plain float arithmetic, so both widths
// give the same sums.
template <int kLanes> struct MixLanes;
template <> struct MixLanes<4> {
    using Floats = float __attribute__((vector_size(16)));
    using Bits = int32_t __attribute__((vector_size(16)));
};
template <> struct MixLanes<8> {
    using Floats = float __attribute__((vector_size(32)));
    using Bits = int32_t __attribute__((vector_size(32)));
};

// Frames summed in registers, in vectors: the sends need registers of their own;
// without them, more frames side by side keep more additions in flight.
template <bool kWithSends> constexpr int kMixVectors = kWithSends ? 2 : 4;

template <typename V> [[gnu::always_inline]] inline V Load(const float* from) {
    V lanes;
    std::memcpy(&lanes, from, sizeof lanes);
    return lanes;
}

template <typename V> [[gnu::always_inline]] inline void Store(float* to, V lanes) {
    std::memcpy(to, &lanes, sizeof lanes);
}

// One channel of every source, summed per tile of frames held in registers, so each
// sum is stored once per tile rather than once per slot.
template <int kLanes, bool kWithSends>
[[gnu::always_inline]] inline bool MixChannel(const MixSources& sources,
                                              const float* const* outputs,
                                              float (*sends)[kBlockFrames], float* mix) {
    using Floats = typename MixLanes<kLanes>::Floats;
    using Bits = typename MixLanes<kLanes>::Bits;
    constexpr int kVectors = kMixVectors<kWithSends>;
    constexpr int kTile = kVectors * kLanes;
    static_assert(kBlockFrames % kTile == 0);
    const Bits limit = Bits{} + plugin::kMaxRenderedSampleBits;
    Bits outside = {};
    for (int start = 0; start < kBlockFrames; start += kTile) {
        Floats send[kSendCount][kVectors];
        Floats sum[kVectors];
        for (int v = 0; v < kVectors; ++v) {
            const int at = start + v * kLanes;
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    send[k][v] = Load<Floats>(&sends[k][at]);
                }
            }
            sum[v] = Load<Floats>(&mix[at]);
        }
        for (int n = 0; n < sources.count; ++n) {
            Floats out[kVectors];
            for (int v = 0; v < kVectors; ++v) {
                out[v] = Load<Floats>(outputs[n] + start + v * kLanes);
                outside |= (std::bit_cast<Bits>(out[v]) & INT32_MAX) > limit;
            }
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    const float gain = sources.gains[n][k];
                    if (gain > 0) {
                        for (int v = 0; v < kVectors; ++v) {
                            send[k][v] += gain * out[v];
                        }
                    }
                }
            }
            for (int v = 0; v < kVectors; ++v) {
                sum[v] += out[v];
            }
        }
        for (int v = 0; v < kVectors; ++v) {
            const int at = start + v * kLanes;
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    Store(&sends[k][at], send[k][v]);
                }
            }
            Store(&mix[at], sum[v]);
        }
    }
    int32_t lanes[kLanes];
    std::memcpy(lanes, &outside, sizeof lanes);
    int32_t any = 0;
    for (int32_t lane : lanes) {
        any |= lane;
    }
    return any == 0;
}

template <int kLanes>
[[gnu::always_inline]] inline bool MixBoth(const MixSources& sources, SendBuffers& sendLeft,
                                           SendBuffers& sendRight, float* mixLeft,
                                           float* mixRight) {
    if (sources.anySend) {
        const bool left = MixChannel<kLanes, true>(sources, sources.left, sendLeft, mixLeft);
        return MixChannel<kLanes, true>(sources, sources.right, sendRight, mixRight) && left;
    }
    const bool left = MixChannel<kLanes, false>(sources, sources.left, sendLeft, mixLeft);
    return MixChannel<kLanes, false>(sources, sources.right, sendRight, mixRight) && left;
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] bool MixEightLanes(const MixSources& sources, SendBuffers& sendLeft,
                                           SendBuffers& sendRight, float* mixLeft,
                                           float* mixRight) {
    return MixBoth<8>(sources, sendLeft, sendRight, mixLeft, mixRight);
}
#endif

} // namespace

void StartMix(SendBuffers& sendLeft, SendBuffers& sendRight, float* mixLeft, float* mixRight) {
    std::fill(mixLeft, mixLeft + kBlockFrames, 0.0f);
    std::fill(mixRight, mixRight + kBlockFrames, 0.0f);
    for (int k = 0; k < kSendCount; ++k) {
        std::fill(std::begin(sendLeft[k]), std::end(sendLeft[k]), kDenormalFill);
        std::fill(std::begin(sendRight[k]), std::end(sendRight[k]), kDenormalFill);
    }
}

bool MixSlots(const MixSources& sources, SendBuffers& sendLeft, SendBuffers& sendRight,
              float* mixLeft, float* mixRight) {
#if defined(__x86_64__)
    if (ProcessorHasAvx2()) {
        return MixEightLanes(sources, sendLeft, sendRight, mixLeft, mixRight);
    }
#endif
    return MixSlotsOnFourLanes(sources, sendLeft, sendRight, mixLeft, mixRight);
}

bool MixSlotsOnFourLanes(const MixSources& sources, SendBuffers& sendLeft, SendBuffers& sendRight,
                         float* mixLeft, float* mixRight) {
    return MixBoth<4>(sources, sendLeft, sendRight, mixLeft, mixRight);
}

} // namespace vantreel
