#include "testplugins/synth/SynthRenderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantreel::synth {

namespace {

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;
constexpr int kControlChange = 0xB0;
constexpr int kPitchBend = 0xE0;
constexpr int kModWheel = 1;
constexpr int kChannelVolume = 7;
constexpr int kAllSoundOff = 120;
constexpr int kResetControllers = 121;
constexpr int kAllNotesOff = 123;

constexpr float kBendRangeSemitones = 2.0f;
constexpr float kBendCentre = 8192.0f;
constexpr float kWidestVibrato = 0.5f; // semitones at full mod wheel
constexpr double kVibratoHz = 5.5;
constexpr float kMaxDataValue = 127.0f;

} // namespace

void SynthRenderer::SetSampleRate(float rate) {
    if (rate > 0.0f && std::isfinite(rate)) {
        sampleRate.store(rate, std::memory_order_relaxed);
    }
}

void SynthRenderer::QueueEvents(const VstEvents* events) {
    if (events == nullptr) {
        return;
    }
    for (int n = 0; n < events->numEvents && queued < kQueueCapacity; ++n) {
        const VstEvent* event = events->events[n];
        if (event == nullptr || event->type != kVstMidiType) {
            continue;
        }
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        QueuedMessage message{std::max(midi->deltaFrames, 0),
                              {static_cast<uint8_t>(midi->midiData[0]),
                               static_cast<uint8_t>(midi->midiData[1]),
                               static_cast<uint8_t>(midi->midiData[2])}};
        // Kept in order of offset; equal offsets keep their arrival order.
        int slot = queued++;
        while (slot > 0 && queue[slot - 1].offset > message.offset) {
            queue[slot] = queue[slot - 1];
            --slot;
        }
        queue[slot] = message;
    }
}

VoiceSettings SynthRenderer::ReadSettings() const {
    VoiceSettings s;
    s.sampleRate = SampleRate();
    s.waveform = WaveformFor(programs.Value(kWaveform));
    double halfSpread = DetuneCents(programs.Value(kDetune)) / 2400.0;
    s.detuneDown = std::exp2(-halfSpread);
    s.detuneUp = std::exp2(halfSpread);
    s.envelope.attackStep = 1.0f / (SegmentSeconds(programs.Value(kAttack)) * s.sampleRate);
    s.envelope.decayStep = 1.0f / (SegmentSeconds(programs.Value(kDecay)) * s.sampleRate);
    s.envelope.sustainLevel = programs.Value(kSustain);
    s.envelope.releaseSamples = SegmentSeconds(programs.Value(kRelease)) * s.sampleRate;
    s.filter = LowPassCoefficients::For(CutoffHz(programs.Value(kCutoff)), s.sampleRate);
    return s;
}

void SynthRenderer::Render(float* left, float* right, int frames, bool accumulate) {
    if (resetRequested.exchange(false, std::memory_order_acquire)) {
        for (Voice& voice : voices) {
            voice.Stop();
        }
        ResetControllers();
    }
    const VoiceSettings settings = ReadSettings();
    const float volume = VolumeGain(programs.Value(kVolume));
    int next = 0;
    for (int frame = 0; frame < frames; ++frame) {
        while (next < queued && queue[next].offset <= frame) {
            Handle(queue[next++], settings);
        }
        double pitchFactor = NextPitchFactor(settings.sampleRate);
        float sum = 0.0f;
        for (Voice& voice : voices) {
            sum += voice.Next(settings, pitchFactor);
        }
        float out = sum * volume * channelGain;
        if (accumulate) {
            left[frame] += out;
            right[frame] += out;
        } else {
            left[frame] = out;
            right[frame] = out;
        }
    }
    // Offsets past the block's end take effect from the start of the next one.
    while (next < queued) {
        Handle(queue[next++], settings);
    }
    queued = 0;
}

int SynthRenderer::ActiveVoices() const {
    return static_cast<int>(
        std::count_if(voices.begin(), voices.end(), [](const Voice& v) { return v.IsActive(); }));
}

void SynthRenderer::Handle(const QueuedMessage& message, const VoiceSettings& settings) {
    int kind = message.bytes[0] & 0xF0;
    int channel = message.bytes[0] & 0x0F;
    int data1 = message.bytes[1] & 0x7F;
    int data2 = message.bytes[2] & 0x7F;
    switch (kind) {
    case kNoteOn:
        if (data2 == 0) {
            NoteOff(channel, data1, settings);
        } else {
            NoteOn(channel, data1, data2);
        }
        break;
    case kNoteOff:
        NoteOff(channel, data1, settings);
        break;
    case kControlChange:
        Controller(channel, data1, data2, settings);
        break;
    case kPitchBend:
        pitchBendSemitones = (static_cast<float>(data1 | (data2 << 7)) - kBendCentre) /
                             kBendCentre * kBendRangeSemitones;
        break;
    default:
        break;
    }
}

void SynthRenderer::NoteOn(int channel, int note, int velocity) {
    VoiceFor(channel, note).Start(channel, note, velocity, nextOrder++, SampleRate());
}

void SynthRenderer::NoteOff(int channel, int note, const VoiceSettings& settings) {
    for (Voice& voice : voices) {
        if (voice.Plays(channel, note)) {
            voice.Release(settings);
        }
    }
}

// The voice already holding the note, else a free one, else the oldest releasing
// one, else the oldest of all.
Voice& SynthRenderer::VoiceFor(int channel, int note) {
    Voice* best = nullptr;
    auto rank = [](const Voice& v) { return v.IsActive() ? (v.IsReleasing() ? 1 : 2) : 0; };
    for (Voice& voice : voices) {
        if (voice.Plays(channel, note)) {
            return voice;
        }
        if (best == nullptr || rank(voice) < rank(*best) ||
            (rank(voice) == rank(*best) && voice.StartOrder() < best->StartOrder())) {
            best = &voice;
        }
    }
    return *best;
}

void SynthRenderer::Controller(int channel, int number, int value, const VoiceSettings& settings) {
    switch (number) {
    case kModWheel:
        vibratoDepth = kWidestVibrato * static_cast<float>(value) / kMaxDataValue;
        break;
    case kChannelVolume: {
        float level = static_cast<float>(value) / kMaxDataValue;
        channelGain = level * level;
        break;
    }
    case kAllSoundOff:
        for (Voice& voice : voices) {
            if (voice.IsOnChannel(channel)) {
                voice.Stop();
            }
        }
        break;
    case kResetControllers:
        // Volume is a setting rather than a performance control, so it stays.
        pitchBendSemitones = 0.0f;
        vibratoDepth = 0.0f;
        break;
    case kAllNotesOff:
        for (Voice& voice : voices) {
            if (voice.IsOnChannel(channel)) {
                voice.Release(settings);
            }
        }
        break;
    default:
        break;
    }
}

void SynthRenderer::ResetControllers() {
    pitchBendSemitones = 0.0f;
    vibratoDepth = 0.0f;
    channelGain = 1.0f;
}

double SynthRenderer::NextPitchFactor(float rate) {
    double semitones = pitchBendSemitones;
    if (vibratoDepth > 0.0f) {
        semitones += vibratoDepth * std::sin(2.0 * std::numbers::pi * vibratoPhase);
        vibratoPhase += kVibratoHz / rate;
        vibratoPhase -= std::floor(vibratoPhase);
    }
    return semitones == 0.0 ? 1.0 : std::exp2(semitones / 12.0);
}

} // namespace vantreel::synth
