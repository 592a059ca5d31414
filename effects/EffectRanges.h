#pragma once
// The ranges of the master effects' settings: what the engine holds each setting to
// before a block and what the windows' sliders span.

#include "effects/ParameterUnit.h"

namespace vantreel {

// The delay line holds one second at 44100 Hz whatever the sample rate; a delay time
// is at most the whole line.
constexpr int kDelayLineLength = 44100;
constexpr int kMaxDelayTime = kDelayLineLength; // samples

constexpr int kMaxLfoSpeed = 256;     // chorus LFO speed, 0..256
constexpr int kMaxChorusDelay = 4096; // samples

constexpr int kMaxEqualizerGain = 16; // dB either way
constexpr int kLimitingRatio = 16;    // a compressor ratio from here on limits

// Levels, feedback, the reverb's settings, the compressor's threshold and smoothness
// and the send levels all run 0..kParameterMax (ParameterUnit.h).

} // namespace vantreel
