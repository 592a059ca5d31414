#include "testplugins/synth/SynthParameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantreel::synth {

namespace {

struct ParameterText {
    const char* name;
    const char* label;
};

constexpr ParameterText kTexts[kParameterCount] = {
    {"Waveform", ""},  {"Attack", "ms"}, {"Decay", "ms"},     {"Sustain", "%"},
    {"Release", "ms"}, {"Cutoff", "Hz"}, {"Detune", "cents"}, {"Volume", "dB"},
};

constexpr float kShortestSegment = 0.001f; // seconds; shorter clicks
constexpr float kLongestSegment = 5.0f;
constexpr float kLowestCutoff = 20.0f;
constexpr float kCutoffRange = 1000.0f; // 20 Hz .. 20 kHz
constexpr float kWidestDetune = 50.0f;  // cents
constexpr const char* kWaveformNames[] = {"Saw", "Square", "Sine"};

bool Valid(int index) {
    return index >= 0 && index < kParameterCount;
}

} // namespace

const char* ParameterName(int index) {
    return Valid(index) ? kTexts[index].name : "";
}

const char* ParameterLabel(int index) {
    return Valid(index) ? kTexts[index].label : "";
}

Waveform WaveformFor(float value) {
    if (value < 1.0f / 3.0f) {
        return Waveform::Saw;
    }
    return value < 2.0f / 3.0f ? Waveform::Square : Waveform::Sine;
}

// Squared, so the short times that matter most get most of the travel.
float SegmentSeconds(float value) {
    return kShortestSegment + (kLongestSegment - kShortestSegment) * value * value;
}

float CutoffHz(float value) {
    return kLowestCutoff * std::pow(kCutoffRange, value);
}

float DetuneCents(float value) {
    return kWidestDetune * value;
}

float VolumeGain(float value) {
    return value * value;
}

void FormatParameter(int index, float value, char* text, int capacity) {
    if (capacity <= 0) {
        return;
    }
    text[0] = '\0';
    value = std::clamp(value, 0.0f, 1.0f);
    switch (index) {
    case kWaveform:
        std::snprintf(text, capacity, "%s", kWaveformNames[static_cast<int>(WaveformFor(value))]);
        break;
    case kAttack:
    case kDecay:
    case kRelease:
        std::snprintf(text, capacity, "%.0f", SegmentSeconds(value) * 1000.0f);
        break;
    case kSustain:
        std::snprintf(text, capacity, "%.0f", value * 100.0f);
        break;
    case kCutoff:
        std::snprintf(text, capacity, "%.0f", CutoffHz(value));
        break;
    case kDetune:
        std::snprintf(text, capacity, "%.1f", DetuneCents(value));
        break;
    case kVolume:
        if (value <= 0.0f) {
            std::snprintf(text, capacity, "-inf");
        } else {
            std::snprintf(text, capacity, "%.1f", 20.0f * std::log10(VolumeGain(value)));
        }
        break;
    default:
        break;
    }
}

} // namespace vantreel::synth
