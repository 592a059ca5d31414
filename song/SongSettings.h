#pragma once
// Song-level settings: mixer, tempo, loop range and the master effects' parameters.
// The user interface stores them without the engine lock; the audio thread reads
// each once per block, so every field is an atomic of its stored width.

#include <atomic>
#include <cstdint>

namespace vantreel {

template <typename T> using Shared = std::atomic<T>;

struct CompressorParams {
    Shared<uint8_t> threshold{100};
    Shared<uint8_t> ratio{0};
    Shared<uint8_t> smoothness{16};
};

struct EqualizerParams { // gains in dB, -16..16
    Shared<int8_t> lowGain{0};
    Shared<int8_t> peakGain{0};
    Shared<int8_t> highGain{0};
};

struct ReverbParams {
    Shared<uint8_t> room{80};
    Shared<uint8_t> damp{64};
    Shared<uint8_t> width{128};
    Shared<uint8_t> mode{0};
};

struct DelayParams {
    Shared<uint16_t> delayLeft{15840}; // samples
    Shared<uint16_t> delayRight{15840};
    Shared<uint8_t> feedbackLeft{70};
    Shared<uint8_t> feedbackRight{70};
    Shared<uint8_t> crossDelay{1};
};

struct ChorusParams {
    Shared<uint16_t> lfoSpeed{36};
    Shared<uint16_t> chorusDelay{40};
    Shared<uint8_t> chorusMod{63};
    Shared<uint8_t> chorusFeedback{0};
};

constexpr int kDefaultSampleRate = 44100;
constexpr int kDefaultMasterVolume = 32000;
constexpr int kMaxMasterVolume = 32768;
constexpr double kDefaultBpm = 125.0;
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
