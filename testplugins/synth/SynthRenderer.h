#pragma once
// The synthesizer's sound: eight voices, the MIDI that plays them at the exact
// sample it is meant for, and the controllers. Apart from the two setters marked
// otherwise, it belongs to the audio thread and never allocates.

#include "plugins/VstAbi.h"
#include "testplugins/synth/Programs.h"
#include "testplugins/synth/Voice.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vantreel::synth {

constexpr int kVoiceCount = 8;

class SynthRenderer {
public:
    explicit SynthRenderer(const ProgramBank& programs) : programs(programs) {}

    // Any thread; takes effect at the next block.
    void SetSampleRate(float rate);
    float SampleRate() const { return sampleRate.load(std::memory_order_relaxed); }
    // Any thread: silences every voice and resets the controllers at the next block.
    void RequestReset() { resetRequested.store(true, std::memory_order_release); }

    // Keeps the MIDI events of the list for the next Render call.
    void QueueEvents(const VstEvents* events);
    // Renders mono into both outputs, adding to them or replacing them.
    void Render(float* left, float* right, int frames, bool accumulate);

    int ActiveVoices() const;

private:
    struct QueuedMessage {
        int offset;
        uint8_t bytes[3];
    };
    static constexpr int kQueueCapacity = 1024;

    VoiceSettings ReadSettings() const;
    void Handle(const QueuedMessage& message, const VoiceSettings& settings);
    void NoteOn(int channel, int note, int velocity);
    void NoteOff(int channel, int note, const VoiceSettings& settings);
    void Controller(int channel, int number, int value, const VoiceSettings& settings);
    void ResetControllers();
    Voice& VoiceFor(int channel, int note);
    double NextPitchFactor(float rate);

    const ProgramBank& programs;
    std::array<Voice, kVoiceCount> voices;
    std::array<QueuedMessage, kQueueCapacity> queue{};
    int queued = 0;
    uint64_t nextOrder = 0;
    float pitchBendSemitones = 0.0f;
    float vibratoDepth = 0.0f; // semitones, from the mod wheel
    float channelGain = 1.0f;  // from controller 7
    double vibratoPhase = 0.0;
    std::atomic<float> sampleRate{44100.0f};
    std::atomic<bool> resetRequested{false};
};

} // namespace vantreel::synth
