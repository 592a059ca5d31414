#pragma once
// Song-level settings: mixer, tempo, loop range and the master effects' parameters.
// The user interface stores them without the engine lock; the audio thread reads
// each once per block, so every field is an atomic of its stored width.

#include "effects/EffectDefaults.h"
#include "song/Shared.h"

#include <cstdint>

namespace vantreel {

struct CompressorParams {
    Shared<uint8_t> threshold{CompressorDefaults::threshold};
    Shared<uint8_t> ratio{CompressorDefaults::ratio};
    Shared<uint8_t> smoothness{CompressorDefaults::smoothness};
};

struct EqualizerParams { // gains in dB, -16..16
    Shared<int8_t> lowGain{EqualizerDefaults::gain};
    Shared<int8_t> peakGain{EqualizerDefaults::gain};
    Shared<int8_t> highGain{EqualizerDefaults::gain};
};

struct ReverbParams {
    Shared<uint8_t> room{ReverbDefaults::room};
    Shared<uint8_t> damp{ReverbDefaults::damp};
    Shared<uint8_t> width{ReverbDefaults::width};
    Shared<uint8_t> mode{ReverbDefaults::mode};
};

struct DelayParams {
    Shared<uint16_t> delayLeft{DelayDefaults::time}; // samples
    Shared<uint16_t> delayRight{DelayDefaults::time};
    Shared<uint8_t> feedbackLeft{DelayDefaults::feedback};
    Shared<uint8_t> feedbackRight{DelayDefaults::feedback};
    Shared<uint8_t> crossDelay{DelayDefaults::crossDelay};
};

struct ChorusParams {
    Shared<uint16_t> lfoSpeed{ChorusDefaults::lfoSpeed};
    Shared<uint16_t> chorusDelay{ChorusDefaults::delay};
    Shared<uint8_t> chorusMod{ChorusDefaults::mod};
    Shared<uint8_t> chorusFeedback{ChorusDefaults::feedback};
};

constexpr int kDefaultSampleRate = 44100;
constexpr int kDefaultMasterVolume = 32000;
constexpr int kMaxMasterVolume = 32768;
constexpr double kDefaultBpm = 125.0;
constexpr int kLinesPerBeat = 4; // a line is a sixteenth note
constexpr int kBeatsPerBar = 4;  // the song is in 4/4
// Four lines to a beat: at 1 BPM a line lasts 15 seconds, so BPM = sampleRate * 15 /
// lineLength.
constexpr int kLineSecondsAtOneBpm = 15;
static_assert(kLineSecondsAtOneBpm * kLinesPerBeat == 60);
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
