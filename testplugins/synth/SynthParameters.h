#pragma once
// The synthesizer's parameters: their order, names and what a 0..1 value means.

#include "testplugins/synth/Oscillator.h"

namespace vantreel::synth {

enum Parameter : int {
    kWaveform,
    kAttack,
    kDecay,
    kSustain,
    kRelease,
    kCutoff,
    kDetune,
    kVolume,
    kParameterCount
};

const char* ParameterName(int index);
const char* ParameterLabel(int index);
// The value as the control panel shows it, beside the label.
void FormatParameter(int index, float value, char* text, int capacity);

Waveform WaveformFor(float value);
float SegmentSeconds(float value); // attack, decay and release times
float CutoffHz(float value);
float DetuneCents(float value); // the spread between the two oscillators
float VolumeGain(float value);

} // namespace vantreel::synth
