// Our LV2 probe behind the adapter: how it is listed and refused, started, played
// sample-exactly, and how its parameters, programs, state, worker and project
// records behave.

#include "plugins/Lv2Instrument.h"
#include "Lv2TestSupport.h"
#include "engine/PluginCommands.h"
#include "plugins/Lv2Catalog.h"
#include "plugins/Lv2StateChunk.h"
#include "plugins/PluginText.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <thread>

namespace vantreel::test {
namespace {

using lv2probe::Lv2ProbeLog;

constexpr int kLevel = 0;
constexpr int kMode = 1;
constexpr int kBypass = 2;
constexpr int kCutoff = 3;
constexpr int kLoud = 0; // programs sort by name: "Loud", "Quiet"
constexpr int kQuiet = 1;

std::vector<uint8_t> ChunkOf(AEffect* e) {
    void* data = nullptr;
    const VstIntPtr size = e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

void SetChunk(AudioEngine& engine, AEffect* e, std::vector<uint8_t> chunk) {
    EngineLockGuard guard(engine.lock);
    e->dispatcher(e, effSetChunk, 0, VstIntPtr(chunk.size()), chunk.data(), 0.0f);
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class Lv2ProbeTest : public Lv2HostTest {
protected:
    std::vector<UserMessage> messages;

    void SetUp() override {
        Lv2HostTest::SetUp();
        engine->reporter.SetHandler([this](const UserMessage& m) { messages.push_back(m); });
    }
};

TEST_F(Lv2ProbeTest, InstrumentsAreListedByNameBesideTheVstFilesAndMarked) {
    const std::vector<PluginEntry> entries = ListPluginEntries(*engine);
    auto find = [&](const std::string& shown) {
        return std::find_if(entries.begin(), entries.end(),
                            [&](const PluginEntry& e) { return e.shown == shown; });
    };
    ASSERT_NE(find(kProbeName), entries.end()) << "the VST 2 files are listed as before";
    const auto probe = find(std::string("Vantreel LV2 Probe") + kLv2Mark);
    ASSERT_NE(probe, entries.end());
    EXPECT_EQ(probe->name, kProbeLv2Name);
    EXPECT_NE(find(std::string("Vantreel Long Probe") + kLv2Mark), entries.end());
    EXPECT_EQ(find(std::string("Vantreel Needy Probe") + kLv2Mark), entries.end())
        << "an instrument needing a feature this host lacks is not offered";

    const std::vector<Lv2Listing> lv2 = ListLv2Instruments();
    EXPECT_TRUE(
        std::is_sorted(lv2.begin(), lv2.end(),
                       [](const Lv2Listing& a, const Lv2Listing& b) { return a.name < b.name; }));
}

TEST_F(Lv2ProbeTest, AnInstrumentNeedingAnUnofferedFeatureOrMissingIsRefusedSayingWhy) {
    EXPECT_FALSE(engine->LoadPlugin(0, Lv2NameFor(lv2probe::kNeedyProbeUri).c_str()));
    EXPECT_NE(engine->LastPluginError().find(lv2probe::kUnofferedFeature), std::string::npos)
        << engine->LastPluginError();
    EXPECT_FALSE(engine->LoadPlugin(0, "lv2:https://vantreel.example/lv2/nothing-here"));
    EXPECT_NE(engine->LastPluginError().find("nothing-here"), std::string::npos);
    EXPECT_FALSE(engine->LoadPlugin(0, "lv2:"));
    EXPECT_EQ(SlotName(*engine, 0), "Not instanced");
}

TEST_F(Lv2ProbeTest, StartsAtTheSongsRateWithFixedBlocksAndShowsItsOwnName) {
    Lv2ProbeLog* log = LoadProbe(0);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->nominalBlockLength.load(), kBlockFrames);
    EXPECT_EQ(log->maxBlockLength.load(), kBlockFrames);
    EXPECT_EQ(log->sampleRate.load(), float(kDefaultSampleRate));
    EXPECT_EQ(log->activations.load(), 1);
    EXPECT_EQ(SlotName(*engine, 0), "Vantreel LV2 Probe");
    EXPECT_EQ(std::string(engine->song.slots[0].dllName), kProbeLv2Name);

    AEffect* e = engine->effect[0];
    EXPECT_TRUE(IsLv2Instrument(e));
    EXPECT_EQ(e->numParams, 4);
    EXPECT_EQ(e->numPrograms, 2);
    EXPECT_TRUE(e->flags & effFlagsProgramChunks);
    EXPECT_FALSE(e->flags & effFlagsHasEditor);
    EXPECT_NE(Lv2EditorProblem(e).find("has no editor"), std::string::npos);

    Render(2);
    EXPECT_EQ(log->runs.load(), 2 * kBlocksPerCallback);
    EXPECT_EQ(log->lastFrames.load(), kBlockFrames);
    engine->UnloadPlugin(0);
    EXPECT_TRUE(log->freed.load());
    EXPECT_EQ(engine->effect[0], nullptr);
}

TEST_F(Lv2ProbeTest, ParametersAreTheControlInputsMappedOverTheirRanges) {
    ASSERT_NE(LoadProbe(0), nullptr);
    AEffect* e = engine->effect[0];
    EXPECT_EQ(GetParamName(e, kLevel), "Level");
    EXPECT_EQ(GetParamName(e, kCutoff), "Cutoff");
    EXPECT_EQ(GetParamLabel(e, kCutoff), "Hz");
    EXPECT_EQ(GetParamLabel(e, kLevel), "");

    e->setParameter(e, kCutoff, 0.5f);
    EXPECT_EQ(GetParamDisplay(e, kCutoff), "10010.00");
    EXPECT_FLOAT_EQ(e->getParameter(e, kCutoff), 0.5f);

    e->setParameter(e, kMode, 0.6f); // 2.4 of 0..4, an integer port
    EXPECT_EQ(GetParamDisplay(e, kMode), "2");
    EXPECT_FLOAT_EQ(e->getParameter(e, kMode), 0.5f);
    e->setParameter(e, kMode, 0.0f);
    EXPECT_EQ(GetParamDisplay(e, kMode), "Sine") << "a scale point shows its label";

    e->setParameter(e, kBypass, 0.4f);
    EXPECT_EQ(GetParamDisplay(e, kBypass), "Off");
    EXPECT_EQ(e->getParameter(e, kBypass), 0.0f);
    e->setParameter(e, kBypass, 0.6f);
    EXPECT_EQ(GetParamDisplay(e, kBypass), "On");
    EXPECT_EQ(e->getParameter(e, kBypass), 1.0f);

    e->setParameter(e, kLevel, std::nanf(""));
    EXPECT_EQ(e->getParameter(e, kLevel), 0.0f);
    e->setParameter(e, kLevel, 7.0f);
    EXPECT_EQ(e->getParameter(e, kLevel), 1.0f);
    EXPECT_EQ(GetParamName(e, 99), "") << "a parameter it lacks has no texts";
    EXPECT_EQ(e->getParameter(e, 99), 0.0f);
}

TEST_F(Lv2ProbeTest, PresetsAreProgramsAndEachKeepsItsOwnValues) {
    ASSERT_NE(LoadProbe(0), nullptr);
    AEffect* e = engine->effect[0];
    EXPECT_EQ(GetProgramName(e), "Loud") << "program 0 is selected when it loads";
    EXPECT_FLOAT_EQ(e->getParameter(e, kLevel), 0.75f);
    EXPECT_EQ(GetParamDisplay(e, kMode), "3");
    // The output is the level, on both channels.
    const std::vector<int16_t> out = Render(1);
    EXPECT_EQ(out[0], 24000);
    EXPECT_EQ(out[1], 24000);

    e->dispatcher(e, effSetProgram, 0, kQuiet, nullptr, 0.0f);
    EXPECT_EQ(GetProgramName(e), "Quiet");
    EXPECT_FLOAT_EQ(e->getParameter(e, kLevel), 0.125f);
    EXPECT_EQ(GetParamDisplay(e, kMode), "1") << "a port the preset leaves out has its default";
    e->setParameter(e, kLevel, 0.5f);
    e->dispatcher(e, effSetProgram, 0, kLoud, nullptr, 0.0f);
    EXPECT_FLOAT_EQ(e->getParameter(e, kLevel), 0.75f);
    e->dispatcher(e, effSetProgram, 0, kQuiet, nullptr, 0.0f);
    EXPECT_FLOAT_EQ(e->getParameter(e, kLevel), 0.5f) << "the edit stayed with its program";
    e->dispatcher(e, effSetProgram, 0, 5, nullptr, 0.0f);
    EXPECT_EQ(e->dispatcher(e, effGetProgram, 0, 0, nullptr, 0.0f), kQuiet);
}

// The same song to the VST 2 probe (slot 0) and the LV2 probe (slot 1): every
// channel message arrives in the same block at the same offset.
TEST_F(Lv2ProbeTest, EventsArriveAtTheSameOffsetsAsTheVstProbeGetsThem) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    Lv2ProbeLog* lv2 = LoadProbe(1);
    ASSERT_NE(lv2, nullptr);
    engine->song.settings.lineLength = 1000; // lines start at ever other offsets
    for (int slot = 0; slot < 2; ++slot) {
        Pattern& pattern = engine->song.slots[slot].patterns[0];
        pattern.SetLength(16);
        for (int line = 0; line < 16; ++line) {
            pattern.SetCell(line, 0, {0x90, uint8_t(40 + line), 100, uint8_t(line % 3 == 0)});
            pattern.SetCell(line, 1, {0xB1, 7, uint8_t(line * 8), 0});
            if (line % 4 == 2) {
                pattern.SetCell(line, 2, {0xC2, uint8_t(line), 0, 0});
            }
        }
        engine->song.arrangement.Set(0, slot, {0, 0});
    }
    engine->song.settings.songEnd = 2;
    engine->PlaySong();
    Render(6);

    struct Seen {
        int block;
        int64_t frame;
        std::vector<uint8_t> bytes;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> fromVst;
    for (const probe::EventRecord& r : LogOf(0)->events.Snapshot()) {
        const uint8_t status = r.midiData[0];
        const size_t size = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
        fromVst.push_back({r.block, r.deltaFrames, {r.midiData, r.midiData + size}});
    }
    std::vector<Seen> fromLv2;
    for (const lv2probe::Lv2EventRecord& r : lv2->events.Snapshot()) {
        fromLv2.push_back({r.block, r.frame, {r.bytes, r.bytes + r.size}});
    }
    ASSERT_GT(fromVst.size(), 30u);
    EXPECT_TRUE(fromVst == fromLv2)
        << fromVst.size() << " VST events, " << fromLv2.size() << " LV2 events";
}

TEST_F(Lv2ProbeTest, TheWorkersAnswerArrivesAtTheStartOfALaterBlock) {
    Lv2ProbeLog* log = LoadProbe(0);
    ASSERT_NE(log, nullptr);
    const uint8_t note[4] = {0x90, 61, 100, 0};
    engine->QueueMidiEvent(0, note);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (log->responses.Size() == 0 && std::chrono::steady_clock::now() < deadline) {
        Render(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(log->responses.Size(), 1);
    ASSERT_EQ(log->events.Size(), 1);
    EXPECT_EQ(log->responses.At(0).note, 61);
    EXPECT_GT(log->responses.At(0).block, log->events.At(0).block);
}

TEST_F(Lv2ProbeTest, StateRoundTripsByteForByteAndNamesAMissingFile) {
    Lv2ProbeLog* log = LoadProbe(0);
    ASSERT_NE(log, nullptr);
    AEffect* e = engine->effect[0];
    const std::vector<uint8_t> saved = ChunkOf(e);
    SetChunk(*engine, e, saved);
    EXPECT_EQ(log->restores.load(), 1);
    EXPECT_EQ(ChunkOf(e), saved);
    EXPECT_TRUE(TakeLv2StateNotes(e).empty());

    Lv2StateImage image;
    ASSERT_TRUE(DecodeStateChunk(saved.data(), saved.size(), image));
    const std::string missing = scratch.Path("gone/kick.wav");
    image.properties.push_back(
        {lv2probe::kSampleKey, LV2_ATOM__Path, 0, {missing.begin(), missing.end()}});
    image.properties.back().value.push_back(0);
    SetChunk(*engine, e, EncodeStateChunk(image));
    const std::vector<std::string> notes = TakeLv2StateNotes(e);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find(missing), std::string::npos) << notes[0];
    Lv2StateImage again;
    const std::vector<uint8_t> withPath = ChunkOf(e);
    ASSERT_TRUE(DecodeStateChunk(withPath.data(), withPath.size(), again));
    EXPECT_EQ(again.properties.size(), 2u) << "the path is kept for the next save";

    SetChunk(*engine, e, {1, 2, 3, 4, 5});
    ASSERT_EQ(TakeLv2StateNotes(e).size(), 1u);
    EXPECT_EQ(ChunkOf(e), withPath) << "a damaged chunk changes nothing";
}

TEST_F(Lv2ProbeTest, AParameterAndAProgramChangeSurviveSaveAndLoad) {
    ASSERT_NE(LoadProbe(4), nullptr);
    AEffect* e = engine->effect[4];
    e->dispatcher(e, effSetProgram, 0, kQuiet, nullptr, 0.0f);
    e->setParameter(e, kLevel, 0.25f);
    e->setParameter(e, kCutoff, 1.0f);
    const std::string path = scratch.Path("probe.vpf");
    ASSERT_TRUE(engine->SaveProject(path.c_str()));
    ASSERT_TRUE(engine->LoadProject(path.c_str()));
    EXPECT_TRUE(messages.empty()) << messages.front().text;

    e = engine->effect[4];
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(SlotName(*engine, 4), "Vantreel LV2 Probe");
    EXPECT_EQ(GetProgramName(e), "Quiet");
    EXPECT_FLOAT_EQ(e->getParameter(e, kLevel), 0.25f);
    EXPECT_FLOAT_EQ(e->getParameter(e, kCutoff), 1.0f);
    e->dispatcher(e, effSetProgram, 0, kLoud, nullptr, 0.0f);
    EXPECT_FLOAT_EQ(e->getParameter(e, kLevel), 0.75f);
}

TEST_F(Lv2ProbeTest, ALongUriIsKeptWholeBesideItsFirst63Characters) {
    const std::string name = Lv2NameFor(lv2probe::kLongProbeUri);
    ASSERT_GE(name.size(), size_t(kTextSize));
    ASSERT_TRUE(engine->LoadPlugin(2, name.c_str())) << engine->LastPluginError();
    EXPECT_EQ(std::string(engine->song.slots[2].dllName), name.substr(0, kTextSize - 1));
    EXPECT_EQ(engine->PluginName(2), name);
    const std::string path = scratch.Path("long.vpf");
    ASSERT_TRUE(engine->SaveProject(path.c_str()));

    ASSERT_TRUE(engine->LoadProject(path.c_str()));
    EXPECT_TRUE(engine->song.slots[2].IsInstanced());
    EXPECT_EQ(SlotName(*engine, 2), "Vantreel Long Probe");
    EXPECT_EQ(engine->PluginName(2), name);
}

TEST_F(Lv2ProbeTest, AProjectWhoseInstrumentIsMissingKeepsItsRecordAndWritesItBack) {
    ASSERT_NE(LoadProbe(1), nullptr);
    ASSERT_TRUE(engine->LoadPlugin(2, Lv2NameFor(lv2probe::kLongProbeUri).c_str()));
    engine->effect[1]->setParameter(engine->effect[1], kLevel, 0.5f);
    const std::string path = scratch.Path("missing.vpf");
    ASSERT_TRUE(engine->SaveProject(path.c_str()));
    const std::vector<uint8_t> original = FileBytes(path);

    ScopedEnvironment elsewhere{"LV2_PATH", scratch.MakeFolder("no-lv2")};
    EXPECT_FALSE(engine->LoadProject(path.c_str()));
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0].caption, "Vantreel - Missing DLL");
    EXPECT_EQ(messages[0].text, kProbeLv2Name);
    EXPECT_EQ(messages[1].text, Lv2NameFor(lv2probe::kLongProbeUri));
    EXPECT_FALSE(engine->song.slots[1].IsInstanced());
    EXPECT_TRUE(engine->missingPlugins[2].kept);

    const std::string again = scratch.Path("again.vpf");
    ASSERT_TRUE(engine->SaveProject(again.c_str()));
    EXPECT_TRUE(FileBytes(again) == original) << "the records are written back unchanged";
}

// Freeing waits for a young instrument (see kLv2MinimumLifetimeMilliseconds), but not
// under the lock: the VST 2 probe in slot 0 sounds through every buffer meanwhile.
TEST_F(Lv2ProbeTest, AnInstrumentUnloadedRightAfterLoadingLeavesTheOthersSounding) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    engine->effect[0]->setParameter(engine->effect[0], probe::kProbeLevelParameter, 0.5f);
    std::atomic<bool> stop{false};
    std::atomic<int> rendered{0};
    std::atomic<int> silent{0};
    std::thread audio([&] {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        while (!stop) {
            engine->StreamCallback(buffer.data(), true);
            silent += buffer[0] == 0 ? 1 : 0;
            ++rendered;
        }
    });
    Lv2ProbeLog* log = LoadProbe(1);
    ASSERT_NE(log, nullptr);
    const int before = rendered;
    const auto start = std::chrono::steady_clock::now();
    engine->UnloadPlugin(1);
    const auto took = std::chrono::steady_clock::now() - start;
    const int during = rendered - before;
    stop = true;
    audio.join();
    EXPECT_TRUE(log->freed.load());
    EXPECT_GE(took, std::chrono::milliseconds(kLv2MinimumLifetimeMilliseconds / 2));
    EXPECT_GT(during, 10) << "the audio thread waited for the instrument to be freed";
    EXPECT_EQ(silent.load(), 0);
}

// The audio thread renders notes that keep the probe's worker busy while the user
// interface moves parameters, switches programs, saves its state and reloads it.
TEST_F(Lv2ProbeTest, ConcurrencyWorkerParametersAndReloadsWhileTheAudioThreadRenders) {
    const int first = lv2Probe.count();
    ASSERT_NE(LoadProbe(0), nullptr);
    Pattern& pattern = engine->song.slots[0].patterns[0];
    for (int line = 0; line < 64; ++line) {
        pattern.SetCell(line, 0, {0x90, uint8_t(36 + line % 24), 100, 1});
    }
    engine->song.settings.lineLength = 500;
    engine->editor.currentSlot = 0;
    engine->PlayPattern();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        while (!stop) {
            engine->StreamCallback(buffer.data(), true);
        }
    });
    for (int round = 0; round < 40; ++round) {
        AEffect* e = engine->effect[0];
        e->setParameter(e, kLevel, float(round % 10) / 10.0f);
        e->dispatcher(e, effSetProgram, 0, round % 2, nullptr, 0.0f);
        {
            EngineLockGuard guard(engine->lock);
            const std::vector<uint8_t> chunk = ChunkOf(e);
            SetChunk(*engine, e, chunk);
        }
        if (round % 10 == 9) {
            ASSERT_NE(LoadProbe(0), nullptr);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    stop = true;
    audio.join();
    engine->StopPlayback();
    int answered = 0;
    for (int n = first; n < lv2Probe.count(); ++n) {
        answered += lv2Probe.log(n)->responses.Size();
    }
    EXPECT_GT(answered, 0) << "the worker never answered";
}

} // namespace
} // namespace vantreel::test
