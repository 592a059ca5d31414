#pragma once
// One sounding note: two detuned oscillators, a low-pass and an amplitude envelope.

#include "testplugins/synth/Envelope.h"
#include "testplugins/synth/LowPassFilter.h"
#include "testplugins/synth/Oscillator.h"

#include <cstdint>

namespace vantreel::synth {

// Everything the voices share for one block, read from the parameters once per block.
struct VoiceSettings {
    Waveform waveform = Waveform::Saw;
    double detuneDown = 1.0; // frequency factors of the two oscillators
    double detuneUp = 1.0;
    EnvelopeRates envelope;
    LowPassCoefficients filter;
    float sampleRate = 44100.0f;
};

class Voice {
public:
    void Start(int channel, int note, int velocity, uint64_t order, float sampleRate);
    void Release(const VoiceSettings& settings) { envelope.Release(settings.envelope); }
    void Stop() { envelope.Stop(); }
    // The next mono sample; `pitchFactor` carries pitch bend and vibrato.
    float Next(const VoiceSettings& settings, double pitchFactor);

    bool IsActive() const { return !envelope.IsIdle(); }
    bool IsReleasing() const { return envelope.IsReleasing(); }
    bool Plays(int channel, int note) const;
    bool IsOnChannel(int other) const { return IsActive() && channel == other; }
    uint64_t StartOrder() const { return startOrder; }

private:
    Oscillator oscillatorDown;
    Oscillator oscillatorUp;
    LowPassFilter filter;
    Envelope envelope;
    double increment = 0.0; // cycles per sample at the note's own pitch
    float gain = 0.0f;
    int channel = 0;
    int note = -1;
    uint64_t startOrder = 0;
};

// Frequency of a MIDI note, tuned to A 440 on note 69.
double NoteFrequency(int note);

} // namespace vantreel::synth
