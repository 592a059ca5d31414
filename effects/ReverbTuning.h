#pragma once
// The reverb's tuning: filter lengths and the scales between the user's 0..1 values
// and the model's internal ones. Lengths are in samples and do not follow the sample
// rate; every right filter is longer than its left twin so the channels decorrelate.

namespace vantreel::reverb {

constexpr int kCombCount = 8;
constexpr int kAllpassCount = 4;
constexpr float kMuted = 0.0f;
constexpr float kFixedGain = 0.015f;
constexpr float kScaleWet = 3.0f;
constexpr float kScaleDamp = 0.4f;
constexpr float kScaleRoom = 0.28f;
constexpr float kOffsetRoom = 0.7f;
constexpr float kInitialRoom = 0.5f;
constexpr float kInitialDamp = 0.5f;
constexpr float kInitialWet = 1.0f / kScaleWet;
constexpr float kInitialWidth = 1.0f;
constexpr float kInitialMode = 0.0f;
constexpr float kFreezeMode = 0.5f;
constexpr float kAllpassFeedback = 0.5f;
constexpr int kStereoSpread = 23;

constexpr int kCombTuningLeft[kCombCount] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllpassTuningLeft[kAllpassCount] = {556, 441, 341, 225};

constexpr int CombLength(int channel, int k) {
    return kCombTuningLeft[k] + channel * kStereoSpread;
}
constexpr int AllpassLength(int channel, int k) {
    return kAllpassTuningLeft[k] + channel * kStereoSpread;
}

// All filter memory of both channels, in samples.
constexpr int MemorySize() {
    int total = 0;
    for (int channel = 0; channel < 2; ++channel) {
        for (int k = 0; k < kCombCount; ++k) {
            total += CombLength(channel, k);
        }
        for (int k = 0; k < kAllpassCount; ++k) {
            total += AllpassLength(channel, k);
        }
    }
    return total;
}

} // namespace vantreel::reverb
