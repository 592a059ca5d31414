// Drives the built VantreelSynth.so through the VST 2 interface alone, as a host
// would: pitch, timing, release, controllers, programs and the bank chunk.

#include "plugins/VstAbi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kSynthPath = VANTREEL_PLUGIN_OUTPUT_DIR "/VantreelSynth.so";
constexpr int kBlock = 256;
constexpr float kHostRate = 44100.0f;

// Parameter indices and the values that pick a waveform.
constexpr int kWaveform = 0, kAttack = 1, kDecay = 2, kSustain = 3, kRelease = 4, kCutoff = 5,
              kDetune = 6, kVolume = 7;
constexpr float kSaw = 0.0f, kSquare = 0.5f, kSine = 1.0f;

std::atomic<int> sampleRateAskedWithoutInstance{0};

VstIntPtr TestHost(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetSampleRate:
        if (effect == nullptr) {
            ++sampleRateAskedWithoutInstance;
        }
        return static_cast<VstIntPtr>(kHostRate);
    case audioMasterGetBlockSize:
        return kBlock;
    default:
        return 0;
    }
}

VstPluginMainProc Entry(const char* name) {
    static void* library = dlopen(kSynthPath, RTLD_NOW | RTLD_LOCAL);
    return library != nullptr ? reinterpret_cast<VstPluginMainProc>(dlsym(library, name)) : nullptr;
}

struct Midi {
    int offset;
    uint8_t status, data1, data2;
};

// One synth instance, started like the program starts a plug-in.
class Synth {
public:
    explicit Synth(float rate = kHostRate, const char* entry = "VSTPluginMain") {
        VstPluginMainProc main = Entry(entry);
        effect = main != nullptr ? main(&TestHost) : nullptr;
        if (effect != nullptr) {
            Dispatch(effOpen);
            Dispatch(effSetProgram, 0, 0);
            Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            Dispatch(effSetBlockSize, 0, kBlock);
            Dispatch(effMainsChanged, 0, 1);
        }
    }
    ~Synth() {
        if (effect != nullptr) {
            Dispatch(effMainsChanged, 0, 0);
            Dispatch(effClose);
        }
    }
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void Set(int parameter, float value) { effect->setParameter(effect, parameter, value); }
    float Get(int parameter) { return effect->getParameter(effect, parameter); }
    std::string Text(VstInt32 opcode, int index = 0) {
        char text[256] = {};
        Dispatch(opcode, index, 0, text);
        return text;
    }

    // A plain, exactly pitched tone: no detune, open filter, instant attack, full sustain.
    void PlainTone(float waveform) {
        Set(kWaveform, waveform);
        Set(kAttack, 0.0f);
        Set(kSustain, 1.0f);
        Set(kCutoff, 1.0f);
        Set(kDetune, 0.0f);
        Set(kVolume, 1.0f);
    }

    // Sends the events for the next block; offsets are within that block.
    void Send(const std::vector<Midi>& messages) {
        std::vector<VstMidiEvent> midi(messages.size());
        std::vector<VstEvent*> pointers;
        for (size_t n = 0; n < messages.size(); ++n) {
            midi[n].type = kVstMidiType;
            midi[n].byteSize = sizeof(VstMidiEvent) - 8;
            midi[n].deltaFrames = messages[n].offset;
            midi[n].midiData[0] = static_cast<char>(messages[n].status);
            midi[n].midiData[1] = static_cast<char>(messages[n].data1);
            midi[n].midiData[2] = static_cast<char>(messages[n].data2);
            pointers.push_back(reinterpret_cast<VstEvent*>(&midi[n]));
        }
        // The list header is followed by as many pointers as it has events.
        std::vector<char> list(offsetof(VstEvents, events) + pointers.size() * sizeof(VstEvent*) +
                               sizeof(VstEvent*));
        auto* events = reinterpret_cast<VstEvents*>(list.data());
        events->numEvents = static_cast<VstInt32>(pointers.size());
        std::memcpy(list.data() + offsetof(VstEvents, events), pointers.data(),
                    pointers.size() * sizeof(VstEvent*));
        Dispatch(effProcessEvents, 0, 0, events);
    }

    // Renders whole blocks with processReplacing; the left channel.
    std::vector<float> Render(int frames) {
        std::vector<float> result;
        float left[kBlock], right[kBlock];
        float* outputs[2] = {left, right};
        for (int done = 0; done < frames; done += kBlock) {
            effect->processReplacing(effect, nullptr, outputs, kBlock);
            for (int n = 0; n < kBlock; ++n) {
                EXPECT_EQ(left[n], right[n]);
            }
            result.insert(result.end(), left, left + kBlock);
        }
        result.resize(frames);
        return result;
    }

    AEffect* effect = nullptr;
};

// Frequency from the upward zero crossings, interpolated between samples.
double Frequency(const std::vector<float>& signal, double rate) {
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (size_t n = 1; n < signal.size(); ++n) {
        if (signal[n - 1] < 0.0f && signal[n] >= 0.0f) {
            double at = (n - 1) + signal[n - 1] / (signal[n - 1] - signal[n]);
            if (crossings == 0) {
                first = at;
            }
            last = at;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * rate / (last - first);
}

float Peak(const std::vector<float>& signal, size_t from = 0, size_t to = SIZE_MAX) {
    float peak = 0.0f;
    for (size_t n = from; n < std::min(to, signal.size()); ++n) {
        peak = std::max(peak, std::fabs(signal[n]));
    }
    return peak;
}

double Rms(const std::vector<float>& signal) {
    double sum = 0.0;
    for (float s : signal) {
        sum += double(s) * s;
    }
    return std::sqrt(sum / signal.size());
}

std::vector<float> Tail(const std::vector<float>& signal, size_t from) {
    return std::vector<float>(signal.begin() + from, signal.end());
}

double ExpectedPitch(int note) {
    return 440.0 * std::exp2((note - 69) / 12.0);
}

// Samples of a release set by parameter value v, as the synth maps it.
double ReleaseSamples(float v, double rate) {
    return (0.001 + 4.999 * v * v) * rate;
}

TEST(SynthPlugin, PresentsItselfAsAStereoInstrumentWithABankChunk) {
    int askedBefore = sampleRateAskedWithoutInstance.load();
    Synth synth;
    ASSERT_NE(synth.effect, nullptr);
    EXPECT_GT(sampleRateAskedWithoutInstance.load(), askedBefore);
    AEffect& e = *synth.effect;
    EXPECT_EQ(e.magic, kEffectMagic);
    EXPECT_EQ(e.uniqueID, 0x56745379); // 'VtSy'
    EXPECT_EQ(e.numInputs, 0);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.numPrograms, 8);
    EXPECT_EQ(e.numParams, 8);
    EXPECT_TRUE(e.flags & effFlagsCanReplacing);
    EXPECT_TRUE(e.flags & effFlagsProgramChunks);
    EXPECT_TRUE(e.flags & effFlagsIsSynth);
    EXPECT_FALSE(e.flags & effFlagsHasEditor);
    EXPECT_EQ(synth.Text(effGetEffectName), "VantreelSynth");
    EXPECT_EQ(synth.Text(effGetVendorString), "Vantreel");
    EXPECT_EQ(synth.Text(effGetProductString), "Vantreel Synth");
    char midiEvent[] = "receiveVstMidiEvent", other[] = "sendVstMidiEvent";
    EXPECT_EQ(synth.Dispatch(effCanDo, 0, 0, midiEvent), 1);
    EXPECT_NE(synth.Dispatch(effCanDo, 0, 0, other), 1);

    // The older entry point makes a separate instance of the same plug-in.
    Synth viaMain(kHostRate, "main");
    ASSERT_NE(viaMain.effect, nullptr);
    EXPECT_NE(viaMain.effect, synth.effect);
    EXPECT_EQ(viaMain.effect->uniqueID, e.uniqueID);
}

TEST(SynthPlugin, ParametersHaveShortNamesLabelsAndReadableValues) {
    Synth synth;
    std::vector<std::string> names;
    for (int k = 0; k < synth.effect->numParams; ++k) {
        std::string name = synth.Text(effGetParamName, k);
        EXPECT_FALSE(name.empty());
        EXPECT_LE(name.size(), 8u);
        EXPECT_LE(synth.Text(effGetParamLabel, k).size(), 8u);
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << name;
        names.push_back(name);
        for (float v : {0.0f, 0.37f, 1.0f}) {
            synth.Set(k, v);
            std::string display = synth.Text(effGetParamDisplay, k);
            EXPECT_FALSE(display.empty()) << name;
            EXPECT_LE(display.size(), 8u) << name;
        }
    }
    const std::pair<float, const char*> shapes[] = {
        {kSaw, "Saw"}, {kSquare, "Square"}, {kSine, "Sine"}};
    for (auto [value, text] : shapes) {
        synth.Set(kWaveform, value);
        EXPECT_EQ(synth.Text(effGetParamDisplay, kWaveform), text);
    }
    synth.Set(kCutoff, 1.0f);
    EXPECT_EQ(synth.Text(effGetParamDisplay, kCutoff), "20000");
    EXPECT_EQ(synth.Text(effGetParamLabel, kCutoff), "Hz");
    synth.Set(kVolume, 1.0f);
    EXPECT_EQ(synth.Text(effGetParamDisplay, kVolume), "0.0");
    synth.Set(kVolume, 0.0f);
    EXPECT_EQ(synth.Text(effGetParamDisplay, kVolume), "-inf");
    // Values outside 0..1 are held at the range's ends.
    synth.Set(kSustain, 3.0f);
    EXPECT_EQ(synth.Get(kSustain), 1.0f);
}

TEST(SynthSound, NotesSoundAtTheirEqualTemperedPitchInEveryWaveform) {
    for (float rate : {44100.0f, 48000.0f}) {
        for (float waveform : {kSaw, kSquare, kSine}) {
            for (int note : {45, 69, 81}) {
                SCOPED_TRACE("rate " + std::to_string(rate) + " waveform " +
                             std::to_string(waveform) + " note " + std::to_string(note));
                Synth synth(rate);
                synth.PlainTone(waveform);
                synth.Send({{0, 0x90, static_cast<uint8_t>(note), 100}});
                std::vector<float> sound = synth.Render(static_cast<int>(rate));
                EXPECT_NEAR(Frequency(Tail(sound, 2048), rate), ExpectedPitch(note),
                            ExpectedPitch(note) * 0.001);
                EXPECT_GT(Peak(sound), 0.1f);
                EXPECT_LT(Peak(sound), 1.0f);
            }
        }
    }
}

TEST(SynthSound, PitchBendReachesTwoSemitonesAndModWheelAddsVibrato) {
    Synth synth;
    synth.PlainTone(kSine);
    synth.Send({{0, 0x90, 69, 100}, {0, 0xE0, 0x7F, 0x7F}});
    EXPECT_NEAR(Frequency(synth.Render(22050), kHostRate), 440.0 * std::exp2(8191.0 / 8192 / 6),
                0.5);
    synth.Send({{0, 0xE0, 0, 0}});
    EXPECT_NEAR(Frequency(synth.Render(22050), kHostRate), ExpectedPitch(67), 0.5);
    synth.Send({{0, 0xE0, 0, 0x40}});
    EXPECT_NEAR(Frequency(synth.Render(22050), kHostRate), 440.0, 0.5);

    // With the wheel up, the pitch of short stretches wanders around the note.
    synth.Send({{0, 0xB0, 1, 127}});
    std::vector<float> vibrato = synth.Render(44100);
    double lowest = 1e9, highest = 0.0;
    for (size_t at = 0; at + 2048 <= vibrato.size(); at += 2048) {
        double f = Frequency({vibrato.begin() + at, vibrato.begin() + at + 2048}, kHostRate);
        lowest = std::min(lowest, f);
        highest = std::max(highest, f);
    }
    EXPECT_LT(lowest, 436.0);
    EXPECT_GT(highest, 444.0);
    EXPECT_NEAR(Frequency(vibrato, kHostRate), 440.0, 2.0);
}

TEST(SynthTiming, EventsTakeEffectAtTheirOwnFrameInOffsetOrder) {
    Synth synth;
    synth.PlainTone(kSaw);
    synth.Send({{100, 0x90, 60, 127}});
    std::vector<float> block = synth.Render(kBlock);
    EXPECT_EQ(Peak(block, 0, 100), 0.0f);
    EXPECT_GT(Peak(block, 100, 110), 0.0f);

    // A list need not be sorted: the note-off at 150 still follows the note-on at 50.
    Synth other;
    other.PlainTone(kSaw);
    other.Set(kRelease, 0.0f); // 1 ms
    other.Send({{150, 0x80, 60, 0}, {50, 0x90, 60, 127}});
    std::vector<float> sound = other.Render(2 * kBlock);
    EXPECT_EQ(Peak(sound, 0, 50), 0.0f);
    EXPECT_GT(Peak(sound, 50, 150), 0.1f);
    EXPECT_EQ(Peak(sound, 150 + 45), 0.0f);
}

TEST(SynthRelease, AReleasedNoteEndsInExactSilenceWhenItsReleaseIsOver) {
    const std::vector<Midi> releases[] = {{{0, 0x80, 64, 64}}, {{0, 0x90, 64, 0}}};
    for (const auto& release : releases) {
        Synth synth;
        synth.PlainTone(kSquare);
        synth.Set(kRelease, 0.1f);
        synth.Send({{0, 0x90, 64, 100}});
        synth.Render(4410);
        synth.Send(release);
        std::vector<float> after = synth.Render(8192);
        int end = static_cast<int>(std::ceil(ReleaseSamples(0.1f, kHostRate)));
        EXPECT_GT(Peak(after, end - 300, end - 100), 0.0f);
        EXPECT_LT(Peak(after, end - 300, end - 100), Peak(after, 0, 200));
        EXPECT_EQ(Peak(after, end + 2), 0.0f);
    }
}

TEST(SynthControllers, AllNotesOffReleasesAllSoundOffCutsAndBothKeepToTheirChannel) {
    Synth synth;
    synth.PlainTone(kSaw);
    synth.Set(kRelease, 0.1f);
    synth.Send({{0, 0x90, 60, 100}, {0, 0x90, 64, 100}, {0, 0x91, 67, 100}});
    synth.Render(kBlock);
    synth.Send({{0, 0xB0, 123, 0}});
    std::vector<float> released = synth.Render(8192);
    EXPECT_GT(Peak(released, 0, 256), 0.1f);
    // Channel 2's note plays on after channel 1's release is over.
    EXPECT_GT(Peak(released, 4096), 0.05f);
    synth.Send({{10, 0xB1, 120, 0}});
    std::vector<float> cut = synth.Render(kBlock * 2);
    EXPECT_GT(Peak(cut, 0, 10), 0.0f);
    EXPECT_EQ(Peak(cut, 10), 0.0f);
}

TEST(SynthControllers, ChannelVolumeAndTheVolumeParameterScaleTheOutput) {
    auto level = [](std::vector<Midi> extra, float volume) {
        Synth synth;
        synth.PlainTone(kSine);
        synth.Set(kVolume, volume);
        extra.push_back({0, 0x90, 69, 100});
        synth.Send(extra);
        return Rms(Tail(synth.Render(8192), 1024));
    };
    double full = level({}, 1.0f);
    EXPECT_GT(full, 0.05);
    EXPECT_EQ(level({{0, 0xB0, 7, 0}}, 1.0f), 0.0);
    EXPECT_NEAR(level({{0, 0xB0, 7, 64}}, 1.0f) / full, std::pow(64.0 / 127.0, 2.0), 0.01);
    EXPECT_EQ(level({}, 0.0f), 0.0);
    EXPECT_NEAR(level({}, 0.5f) / full, 0.25, 0.01);
}

TEST(SynthVoices, ANinthNoteTakesTheOldestVoice) {
    Synth synth;
    synth.PlainTone(kSine);
    synth.Set(kRelease, 0.0f);
    for (int n = 0; n < 9; ++n) {
        synth.Send({{0, 0x90, static_cast<uint8_t>(48 + n), 100}});
        synth.Render(kBlock);
    }
    // Releasing the eight youngest must leave nothing: the first note lost its voice.
    std::vector<Midi> offs;
    for (int n = 1; n < 9; ++n) {
        offs.push_back({0, 0x80, static_cast<uint8_t>(48 + n), 0});
    }
    synth.Send(offs);
    std::vector<float> after = synth.Render(4 * kBlock);
    EXPECT_EQ(Peak(after, kBlock), 0.0f);
}

TEST(SynthProcess, ProcessAddsToTheOutputsAndProcessReplacingOverwritesThem) {
    Synth replacing, accumulating;
    for (Synth* s : {&replacing, &accumulating}) {
        s->PlainTone(kSaw);
        s->Send({{0, 0x90, 57, 90}});
    }
    std::vector<float> left(kBlock, 0.5f), right(kBlock, -0.25f);
    std::vector<float> left2(kBlock, 0.5f), right2(kBlock, -0.25f);
    float* out1[2] = {left.data(), right.data()};
    float* out2[2] = {left2.data(), right2.data()};
    replacing.effect->processReplacing(replacing.effect, nullptr, out1, kBlock);
    accumulating.effect->process(accumulating.effect, nullptr, out2, kBlock);
    EXPECT_GT(Peak(left), 0.0f);
    for (int n = 0; n < kBlock; ++n) {
        EXPECT_FLOAT_EQ(left2[n], left[n] + 0.5f);
        EXPECT_FLOAT_EQ(right2[n], right[n] - 0.25f);
    }
}

TEST(SynthPrograms, EachOfEightNamedProgramsKeepsItsOwnValues) {
    Synth synth;
    std::vector<std::string> names;
    for (int p = 0; p < 8; ++p) {
        char name[64] = {};
        EXPECT_EQ(synth.Dispatch(effGetProgramNameIndexed, p, 0, name), 1);
        EXPECT_FALSE(std::string(name).empty());
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 0) << name;
        names.push_back(name);
    }
    synth.Dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(synth.Dispatch(effGetProgram), 2);
    EXPECT_EQ(synth.Text(effGetProgramName), names[2]);
    synth.Set(kCutoff, 0.3f);
    char rename[] = "My Sound";
    synth.Dispatch(effSetProgramName, 0, 0, rename);
    synth.Dispatch(effSetProgram, 0, 5);
    EXPECT_NE(synth.Get(kCutoff), 0.3f);
    EXPECT_EQ(synth.Text(effGetProgramName), names[5]);
    synth.Dispatch(effSetProgram, 0, 8); // no such program: ignored
    EXPECT_EQ(synth.Dispatch(effGetProgram), 5);
    synth.Dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(synth.Get(kCutoff), 0.3f);
    EXPECT_EQ(synth.Text(effGetProgramName), "My Sound");
}

std::vector<uint8_t> BankChunk(Synth& synth) {
    void* data = nullptr;
    VstIntPtr size = synth.Dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr) {
        return {};
    }
    auto* bytes = static_cast<uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

TEST(SynthChunk, TheBankChunkCarriesEveryProgramIntoAnotherInstance) {
    Synth source;
    source.Dispatch(effSetProgram, 0, 6);
    source.Set(kDecay, 0.123f);
    source.Set(kDetune, 0.9f);
    char name[] = "Saved Organ";
    source.Dispatch(effSetProgramName, 0, 0, name);
    source.Dispatch(effSetProgram, 0, 3);
    source.Set(kAttack, 0.777f);
    std::vector<uint8_t> chunk = BankChunk(source);
    ASSERT_FALSE(chunk.empty());

    Synth target;
    EXPECT_EQ(target.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data()),
              1);
    EXPECT_EQ(target.Dispatch(effGetProgram), 3);
    EXPECT_EQ(target.Get(kAttack), 0.777f);
    target.Dispatch(effSetProgram, 0, 6);
    EXPECT_EQ(target.Get(kDecay), 0.123f);
    EXPECT_EQ(target.Get(kDetune), 0.9f);
    EXPECT_EQ(target.Text(effGetProgramName), "Saved Organ");
    target.Dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(BankChunk(target), chunk);
}

TEST(SynthChunk, DamagedChunksChangeNothing) {
    Synth synth;
    synth.Set(kCutoff, 0.25f);
    std::vector<uint8_t> good = BankChunk(synth);
    ASSERT_GT(good.size(), 20u);
    synth.Set(kCutoff, 0.75f);
    std::vector<uint8_t> before = BankChunk(synth);

    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    std::vector<uint8_t> badMagic = good;
    badMagic[0] ^= 0xFF;
    std::vector<uint8_t> notANumber = good;
    std::memset(notANumber.data() + good.size() - 4, 0xFF, 4); // the last value: a NaN
    struct Case {
        const char* what;
        void* data;
        VstIntPtr size;
    } cases[] = {
        {"short", good.data(), static_cast<VstIntPtr>(good.size() - 1)},
        {"long", longer.data(), static_cast<VstIntPtr>(longer.size())},
        {"empty", good.data(), 0},
        {"negative size", good.data(), -1},
        {"no data", nullptr, static_cast<VstIntPtr>(good.size())},
        {"bad magic", badMagic.data(), static_cast<VstIntPtr>(badMagic.size())},
        {"not a number", notANumber.data(), static_cast<VstIntPtr>(notANumber.size())},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(synth.Dispatch(effSetChunk, 0, c.size, c.data), 0) << c.what;
        EXPECT_EQ(BankChunk(synth), before) << c.what;
    }
    EXPECT_EQ(synth.Get(kCutoff), 0.75f);
}

TEST(SynthInstances, TwoInstancesShareNothing) {
    Synth a, b;
    a.PlainTone(kSine);
    b.PlainTone(kSine);
    a.Set(kCutoff, 0.1f);
    a.Dispatch(effSetProgram, 0, 1);
    EXPECT_EQ(b.Get(kCutoff), 1.0f);
    EXPECT_EQ(b.Dispatch(effGetProgram), 0);
    a.Dispatch(effSetProgram, 0, 0);
    a.Send({{0, 0x90, 69, 100}});
    EXPECT_GT(Peak(a.Render(kBlock)), 0.0f);
    EXPECT_EQ(Peak(b.Render(kBlock)), 0.0f);
}

} // namespace

namespace {

TEST(SynthConcurrency, ParametersAndProgramsMayChangeWhileTheAudioThreadRenders) {
    Synth synth;
    synth.Send({{0, 0x90, 60, 100}, {0, 0x90, 67, 100}});
    std::thread audio([&] {
        for (int n = 0; n < 200; ++n) {
            EXPECT_LT(Peak(synth.Render(kBlock)), 4.0f);
        }
    });
    for (int n = 0; n < 2000; ++n) {
        synth.Set(n % 8, (n % 11) / 10.0f);
        if (n % 100 == 0) {
            synth.Dispatch(effSetProgram, 0, (n / 100) % 8);
        }
    }
    audio.join();
}

} // namespace
