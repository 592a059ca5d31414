#pragma once
// Song-level settings: mixer, tempo, loop range and the master effects' parameters.
// The user interface stores them without the engine lock; the audio thread reads
// each once per block, so every field is an atomic of its stored width.

#include "effects/EffectDefaults.h"
#include "song/Shared.h"

#include <cstdint>

namespace vantreel {

struct CompressorParams {
    Shared<uint8_t> threshold{kDefaultThreshold};
    Shared<uint8_t> ratio{kDefaultRatio};
    Shared<uint8_t> smoothness{kDefaultSmoothness};
};

struct EqualizerParams { // gains in dB, -16..16
    Shared<int8_t> lowGain{kDefaultEqualizerGain};
    Shared<int8_t> peakGain{kDefaultEqualizerGain};
    Shared<int8_t> highGain{kDefaultEqualizerGain};
};

struct ReverbParams {
    Shared<uint8_t> room{kDefaultReverbRoom};
    Shared<uint8_t> damp{kDefaultReverbDamp};
    Shared<uint8_t> width{kDefaultReverbWidth};
    Shared<uint8_t> mode{kDefaultReverbMode};
};

struct DelayParams {
    Shared<uint16_t> delayLeft{kDefaultDelayTime}; // samples
    Shared<uint16_t> delayRight{kDefaultDelayTime};
    Shared<uint8_t> feedbackLeft{kDefaultDelayFeedback};
    Shared<uint8_t> feedbackRight{kDefaultDelayFeedback};
    Shared<uint8_t> crossDelay{kDefaultCrossDelay};
};

struct ChorusParams {
    Shared<uint16_t> lfoSpeed{kDefaultLfoSpeed};
    Shared<uint16_t> chorusDelay{kDefaultChorusDelay};
    Shared<uint8_t> chorusMod{kDefaultChorusMod};
    Shared<uint8_t> chorusFeedback{kDefaultChorusFeedback};
};

constexpr int kDefaultSampleRate = 44100;
constexpr int kDefaultMasterVolume = 32000;
constexpr int kMaxMasterVolume = 32768;
constexpr double kDefaultBpm = 125.0;
// Four lines to a beat: at 1 BPM a line lasts 15 seconds, so BPM = sampleRate * 15 /
// lineLength.
constexpr int kLineSecondsAtOneBpm = 15;
constexpr int kMinLineLength = 1000; // the tempo slider's range
constexpr int kMaxLineLength = 16384;
constexpr int kDefaultSongEnd = 128;

struct SongSettings {
    Shared<int32_t> sampleRate{kDefaultSampleRate};
    Shared<int32_t> masterVolume{kDefaultMasterVolume};
    Shared<int32_t> lineLength{5292}; // samples per line; 125 BPM at 44100 Hz
    Shared<int32_t> loopStart{0};
    Shared<int32_t> songEnd{kDefaultSongEnd};
    CompressorParams compressor;
    EqualizerParams equalizer;
    ReverbParams reverb;
    DelayParams delay;
    ChorusParams chorus;
};

} // namespace vantreel
