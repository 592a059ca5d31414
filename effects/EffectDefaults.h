#pragma once
// The master effects' settings in a new song: the song's stored settings and the
// effects' own settings records both start from these.

#include <cstdint>

namespace vantreel {

constexpr int kDefaultDelayTime = 15840; // samples, either side
constexpr int kDefaultDelayFeedback = 70;
constexpr bool kDefaultCrossDelay = true;

constexpr int kDefaultLfoSpeed = 36;
constexpr int kDefaultChorusDelay = 40;
constexpr int kDefaultChorusMod = 63;
constexpr int kDefaultChorusFeedback = 0;

constexpr int kDefaultReverbRoom = 80;
constexpr int kDefaultReverbDamp = 64;
constexpr int kDefaultReverbWidth = 128;
constexpr int kDefaultReverbMode = 0;

constexpr int kDefaultThreshold = 100;
constexpr int kDefaultRatio = 0; // bypassed
constexpr int kDefaultSmoothness = 16;

constexpr int kDefaultEqualizerGain = 0; // dB, every band

} // namespace vantreel
