#include "testplugins/synth/Voice.h"

#include <cmath>

namespace vantreel::synth {

namespace {
constexpr double kConcertA = 440.0;
constexpr int kConcertANote = 69;
constexpr float kVoiceGain = 0.25f; // headroom for several voices at full velocity
constexpr float kMaxVelocity = 127.0f;
constexpr double kHighestIncrement = 0.49; // cycles per sample, just below Nyquist
} // namespace

double NoteFrequency(int note) {
    return kConcertA * std::exp2((note - kConcertANote) / 12.0);
}

void Voice::Start(int newChannel, int newNote, int velocity, uint64_t order, float sampleRate) {
    bool wasSilent = envelope.IsIdle();
    channel = newChannel;
    note = newNote;
    startOrder = order;
    increment = NoteFrequency(newNote) / sampleRate;
    gain = kVoiceGain * static_cast<float>(velocity) / kMaxVelocity;
    if (wasSilent) {
        oscillatorDown.Reset();
        oscillatorUp.Reset();
        filter.Reset();
    }
    envelope.Start();
}

bool Voice::Plays(int otherChannel, int otherNote) const {
    return IsActive() && !IsReleasing() && channel == otherChannel && note == otherNote;
}

float Voice::Next(const VoiceSettings& settings, double pitchFactor) {
    if (envelope.IsIdle()) {
        return 0.0f;
    }
    double base = increment * pitchFactor;
    double down = std::fmin(base * settings.detuneDown, kHighestIncrement);
    double up = std::fmin(base * settings.detuneUp, kHighestIncrement);
    float mix = 0.5f * (oscillatorDown.Next(settings.waveform, down) +
                        oscillatorUp.Next(settings.waveform, up));
    float filtered = filter.Next(mix, settings.filter);
    return filtered * envelope.Next(settings.envelope) * gain;
}

} // namespace vantreel::synth
