#pragma once
// Peak meter with a slow exponential fall: about 2.1 s from full scale to its floor
// at 44100 Hz.

#include <cstdint>

namespace vantreel {

constexpr double kPeakFloor = 0.0001;
constexpr double kPeakFall = 0.9999; // per sample

// A peak with the falls it still owes: its reading is `peak` after `falls` samples
// that could not reach it. A block too quiet to matter only adds its length; the
// falls are worked out when a block or a reader needs the value, or when too many
// are owed (kMaxOwedFalls). Plain data; packs into 64 bits for an atomic.
struct FallingPeak {
    float peak = 0.0f;
    uint32_t falls = 0;

    // The peak after its falls, exactly as falling sample by sample gives it.
    float Reading() const;
    uint64_t Packed() const;
    static FallingPeak Unpacked(uint64_t bits);
};

// At most this many falls are owed, so a reading costs a bounded time: 186 ms at
// 44100 Hz.
constexpr uint32_t kMaxOwedFalls = 8192;

class PeakMeter {
public:
    // Runs `peak` over `frames` samples of one channel and returns the new peak.
    static float Measure(float peak, const float* samples, int frames);
    // The same, one sample after another: the readable reference for Measure.
    static float MeasureBySample(float peak, const float* samples, int frames);
    // Measure on both channels at once; the falls a quiet block owes stay owed.
    static void MeasureStereo(FallingPeak& left, FallingPeak& right, const float* leftSamples,
                              const float* rightSamples, int frames);
};

} // namespace vantreel
