// Saving and loading whole projects with our own plug-ins: the fixed layout, the
// round trip, and what happens to files that are damaged or name missing plug-ins.

#include "ProjectTestSupport.h"
#include "plugins/PluginCalls.h"
#include "song/Crc32.h"
#include "song/ProjectExtension.h"
#include "song/ProjectPath.h"
#include "testplugins/probe/ProbeLog.h"

#include <algorithm>
#include <filesystem>

namespace vantreel::test {
namespace {

constexpr int kProbeRecordSize = kPluginNameSize + 4 +
                                 4 * probe::kProbeProgramCount * probe::kProbeParameterCount + 4 +
                                 probe::kProbeChunkSize;

int32_t I32At(const Bytes& bytes, std::size_t at) {
    return int32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                   uint32_t(bytes[at + 3]) << 24);
}

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override { UsePrivatePluginEnvironment(scratch); }

    std::unique_ptr<AudioEngine> Loaded(const std::string& path, bool expectWhole) {
        auto loaded = MakeEngine();
        messages.Attach(*loaded);
        EXPECT_EQ(expectWhole, loaded->LoadProject(path.c_str()));
        return loaded;
    }

    std::string Save(AudioEngine& from, const std::string& name) {
        const std::string path = scratch.Path(name);
        EXPECT_TRUE(from.SaveProject(path.c_str()));
        return path;
    }

    probe::ProbeLog* ProbeLogOf(AudioEngine& of, int slot) {
        static probe::ProbeApi api = probe::ProbeApi::Open((kPluginDir + "/" + kProbeName).c_str());
        return api.Ok() ? api.log(of.effect[slot]) : nullptr;
    }

    Scratch scratch;
    std::unique_ptr<AudioEngine> engine = MakeEngine();
    MessageLog messages;
};

TEST_F(ProjectFileTest, AnEmptyProjectHasTheFixedLayoutAndTheExtensionAfterIt) {
    const Bytes bytes = ReadBytes(Save(*engine, "empty.vpf"));
    ASSERT_GT(bytes.size(), std::size_t(kEmptyProjectSize));
    EXPECT_EQ(0, std::memcmp(&bytes[kEmptyProjectSize], "VNTRLEXT", 8));
    EXPECT_EQ(44100, I32At(bytes, 8));
    EXPECT_EQ(32000, I32At(bytes, 12));
    EXPECT_EQ(0, bytes[16]); // slot 0 holds no plug-in; its sends follow at once
    EXPECT_EQ(0, std::strcmp(reinterpret_cast<const char*>(&bytes[20]), "Untitled"));
    EXPECT_EQ(64, bytes[20 + kPatternLengthOffset]);
    const std::size_t head = kEmptyProjectSize - kSettingsTailSize - kArrangementHeadSize;
    EXPECT_EQ(0xFF, bytes[head]);
    EXPECT_EQ(0x00, bytes[head + 1]);
    const std::size_t tail = kEmptyProjectSize - kSettingsTailSize;
    EXPECT_EQ(15840, bytes[tail] | bytes[tail + 1] << 8);
    EXPECT_EQ(0, bytes[tail + 7]); // the delay's pad byte
    EXPECT_EQ(5292, I32At(bytes, kEmptyProjectSize - 4));
}

TEST_F(ProjectFileTest, APluginRecordHoldsNameProgramEveryProgramsValuesAndTheChunk) {
    ASSERT_TRUE(engine->LoadPlugin(1, kProbeName));
    SetPluginValues(*engine, 1, 5); // ends on program 1
    const Bytes bytes = ReadBytes(Save(*engine, "probe.vpf"));
    EXPECT_EQ(0, std::memcmp(&bytes[kEmptyProjectSize + kProbeRecordSize], "VNTRLEXT", 8));

    std::size_t at = SlotEnd(0, {0}) + 1;
    EXPECT_EQ(0, std::strcmp(reinterpret_cast<const char*>(&bytes[at]), kProbeName));
    at += kPluginNameSize;
    EXPECT_EQ(1, I32At(bytes, at));
    at += 4;
    AEffect* e = engine->LivePlugin(1);
    for (int p = 0; p < probe::kProbeProgramCount; ++p) {
        plugin::SetProgram(e, p);
        for (int k = 0; k < probe::kProbeParameterCount; ++k, at += 4) {
            float stored;
            std::memcpy(&stored, &bytes[at], 4);
            EXPECT_EQ(e->getParameter(e, k), stored) << p << "/" << k;
        }
    }
    EXPECT_EQ(probe::kProbeChunkSize, I32At(bytes, at));
}

TEST_F(ProjectFileTest, SavingAppendsTheExtensionUnlessThePathEndsInItInAnyCase) {
    EXPECT_EQ("song.vpf", WithProjectExtension("song"));
    EXPECT_EQ("song.VpF", WithProjectExtension("song.VpF"));
    EXPECT_EQ("song.txt.vpf", WithProjectExtension("song.txt"));
    EXPECT_EQ("a.vpf", WithProjectExtension("a"));
    EXPECT_EQ(".vpf", WithProjectExtension(".vpf"));
    EXPECT_TRUE(engine->SaveProject(scratch.Path("Upper.VPF").c_str()));
    EXPECT_TRUE(std::filesystem::exists(scratch.Path("Upper.VPF")));
    EXPECT_FALSE(std::filesystem::exists(scratch.Path("Upper.VPF.vpf")));
}

TEST_F(ProjectFileTest, SaveLoadSaveGivesTheSameBytesAndTheSameSong) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    ASSERT_TRUE(engine->LoadPlugin(2, kSynthName));
    ASSERT_TRUE(engine->LoadPlugin(9, kSynthName));
    SetPluginValues(*engine, 0, 1);
    SetPluginValues(*engine, 2, 2);
    SetPluginValues(*engine, 9, 3);
    char programName[] = "Round trip";
    plugin::Dispatch(engine->LivePlugin(0), effSetProgramName, 0, 0, programName);
    FillSong(*engine, 42);
    engine->song.settings.sampleRate = 48000;
    const std::string first = Save(*engine, "first.vpf");

    auto loaded = Loaded(first, true);
    EXPECT_TRUE(messages.messages.empty());
    ExpectSameSong(*engine, *loaded);
    for (int slot : {0, 2, 9}) {
        AEffect* a = engine->LivePlugin(slot);
        AEffect* b = loaded->LivePlugin(slot);
        EXPECT_EQ(plugin::GetProgram(a), plugin::GetProgram(b));
        for (int k = 0; k < a->numParams; ++k) {
            EXPECT_EQ(a->getParameter(a, k), b->getParameter(b, k)) << "slot " << slot;
        }
    }
    char name[64] = {};
    plugin::GetText(loaded->LivePlugin(0), effGetProgramName, 0, name);
    EXPECT_STREQ("Round trip", name); // program names travel in the probe's chunk

    EXPECT_EQ(ReadBytes(first), ReadBytes(Save(*loaded, "second.vpf")));
}

TEST_F(ProjectFileTest, LoadingFeedsEveryProgramThenTheCurrentOneThenTheChunk) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    SetPluginValues(*engine, 0, 4);
    plugin::SetProgram(engine->LivePlugin(0), 2);
    const std::string path = Save(*engine, "order.vpf");
    auto loaded = Loaded(path, true);
    probe::ProbeLog* log = ProbeLogOf(*loaded, 0);
    ASSERT_NE(nullptr, log);
    std::vector<std::pair<int, VstIntPtr>> calls;
    for (const probe::DispatchRecord& call : log->dispatches.Snapshot()) {
        if (call.opcode == effSetProgram || call.opcode == effSetChunk) {
            calls.push_back({call.opcode, call.value});
        }
    }
    const std::vector<std::pair<int, VstIntPtr>> expected = {
        {effSetProgram, 0}, // the start of every instance
        {effSetProgram, 0},
        {effSetProgram, 1},
        {effSetProgram, 2},
        {effSetProgram, 2},
        {effSetChunk, probe::kProbeChunkSize}};
    EXPECT_EQ(expected, calls);
    const auto parameters = log->parameters.Snapshot();
    EXPECT_EQ(probe::kProbeProgramCount * probe::kProbeParameterCount,
              std::count_if(parameters.begin(), parameters.end(),
                            [](const probe::ParameterRecord& r) { return r.isSet; }));
}

// The shared part of the missing plug-in tests: slot 2 holds a copy of the synth under
// a name only the saving machine has.
class MissingPluginTest : public ProjectFileTest {
protected:
    void SetUp() override {
        ProjectFileTest::SetUp();
        const std::string own = scratch.Path("own");
        std::filesystem::create_directory(own);
        std::filesystem::copy_file(kPluginDir + "/" + kSynthName, own + "/Vanishing.so");
        ASSERT_LT(own.size(), std::size_t(kTextSize));
        std::strcpy(engine->pluginFolder, own.c_str());
        ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
        ASSERT_TRUE(engine->LoadPlugin(2, "Vanishing.so"));
        ASSERT_TRUE(engine->LoadPlugin(5, kSynthName));
        SetPluginValues(*engine, 2, 9);
        FillSong(*engine, 7);
        engine->song.slots[2].sendReverb = 99;
        engine->song.slots[2].patterns[3].SetName("Kept");
        original = Save(*engine, "missing.vpf");
    }
    std::string original;
};

TEST_F(MissingPluginTest, EverythingElseLoadsAndTheNextSaveGivesTheFileBack) {
    auto loaded = Loaded(original, false);
    EXPECT_EQ(1, messages.Count("Vantreel - Missing DLL"));
    EXPECT_EQ("Vanishing.so", messages.messages.front().text);
    EXPECT_TRUE(messages.Mentions("Slot 02"));
    EXPECT_TRUE(loaded->missingPlugins[2].kept);
    EXPECT_EQ("Vanishing.so", loaded->missingPlugins[2].Name());
    EXPECT_FALSE(loaded->song.slots[2].IsInstanced());
    EXPECT_TRUE(loaded->song.slots[0].IsInstanced());
    EXPECT_TRUE(loaded->song.slots[5].IsInstanced());

    // The song compares equal once the missing slot is seen as empty on both sides.
    engine->UnloadPlugin(2);
    ExpectSameSong(*engine, *loaded);

    EXPECT_EQ(ReadBytes(original), ReadBytes(Save(*loaded, "again.vpf")));
}

TEST_F(MissingPluginTest, LoadingAnotherPluginClosingTheSlotOrANewProjectDropTheKeptRecord) {
    auto loaded = Loaded(original, false);
    ASSERT_TRUE(loaded->LoadPlugin(2, kProbeName));
    EXPECT_FALSE(loaded->missingPlugins[2].kept);

    auto again = Loaded(original, false);
    again->UnloadPlugin(2);
    EXPECT_FALSE(again->missingPlugins[2].kept);
    const Bytes bytes = ReadBytes(Save(*again, "closed.vpf"));
    EXPECT_EQ(0, bytes[SlotEnd(1, {kProbeRecordSize, 0})]); // slot 2 saved empty

    auto cleared = Loaded(original, false);
    cleared->ClearProject();
    EXPECT_FALSE(cleared->missingPlugins[2].kept);
}

TEST_F(MissingPluginTest, AFileWithoutTheExtensionStopsAtTheMissingPluginAsBefore) {
    Bytes bytes = ReadBytes(original);
    const std::size_t base =
        std::search(bytes.begin(), bytes.end(), "VNTRLEXT", "VNTRLEXT" + 8) - bytes.begin();
    bytes.resize(base);
    const std::string legacy = scratch.Path("legacy.vpf");
    WriteBytes(legacy, bytes);

    auto loaded = Loaded(legacy, false);
    EXPECT_EQ(1, messages.Count("Vantreel - Missing DLL"));
    EXPECT_TRUE(loaded->song.slots[0].IsInstanced());
    EXPECT_FALSE(loaded->song.slots[5].IsInstanced());
    EXPECT_FALSE(loaded->missingPlugins[2].kept);
    EXPECT_STREQ("Untitled", loaded->song.slots[2].patterns[3].name);
    EXPECT_EQ(0, loaded->song.slots[2].sendReverb);
}

TEST_F(ProjectFileTest, APluginWhoseShapeChangedIsNotFedTheStoredBytes) {
    ASSERT_TRUE(engine->LoadPlugin(1, kProbeName));
    SetPluginValues(*engine, 1, 2);
    FillSong(*engine, 3);
    Bytes bytes = ReadBytes(Save(*engine, "probe.vpf"));
    // The probe's library was replaced by the synthesizer under the same file name.
    const std::size_t name = SlotEnd(0, {0}) + 1;
    std::memset(&bytes[name], 0, kPluginNameSize);
    std::memcpy(&bytes[name], kSynthName, std::strlen(kSynthName));
    const std::string path = scratch.Path("replaced.vpf");
    WriteBytes(path, bytes);

    auto loaded = Loaded(path, false);
    EXPECT_TRUE(messages.Mentions("Slot 01"));
    ASSERT_TRUE(loaded->song.slots[1].IsInstanced());
    auto fresh = MakeEngine();
    ASSERT_TRUE(fresh->LoadPlugin(0, kSynthName));
    for (int k = 0; k < fresh->effect[0]->numParams; ++k) {
        EXPECT_EQ(fresh->effect[0]->getParameter(fresh->effect[0], k),
                  loaded->effect[1]->getParameter(loaded->effect[1], k));
    }
    std::strcpy(engine->song.slots[1].dllName, kSynthName);
    ExpectSameSong(*engine, *loaded); // the rest of the song is all there
}

TEST_F(ProjectFileTest, AnImpossibleChunkSizeFailsTheLoadWithoutAllocatingIt) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    Bytes bytes = ReadBytes(Save(*engine, "chunk.vpf"));
    bytes.resize(kEmptyProjectSize + kProbeRecordSize); // the original layout only
    const std::size_t chunkSize = kSongHeadSize + 1 + kProbeRecordSize - probe::kProbeChunkSize - 4;
    for (int32_t size : {INT32_MAX, -1, int32_t(kEmptyProjectSize + 1000)}) {
        PutI32(bytes, chunkSize, size);
        const std::string path = scratch.Path("bad-chunk.vpf");
        WriteBytes(path, bytes);
        messages.messages.clear();
        auto loaded = Loaded(path, false);
        EXPECT_TRUE(messages.Mentions("chunk")) << size;
        EXPECT_FALSE(loaded->song.slots[0].IsInstanced());
    }
}

TEST_F(ProjectFileTest, ADamagedExtensionLosesOnlyWhatItCarries) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    FillSong(*engine, 5);
    Bytes bytes = ReadBytes(Save(*engine, "ext.vpf"));
    bytes[bytes.size() - 40] ^= 0x5A; // inside the arrangement lines: the checksum fails
    const std::string path = scratch.Path("damaged.vpf");
    WriteBytes(path, bytes);

    auto loaded = Loaded(path, false);
    EXPECT_TRUE(messages.Mentions("damaged"));
    EXPECT_TRUE(loaded->song.slots[0].IsInstanced());
    EXPECT_EQ(engine->song.arrangement.Get(16, 0), loaded->song.arrangement.Get(16, 0));
    for (int line = kArrangementHeadLines; line < kArrangementLines; ++line) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            ASSERT_EQ(kPatternCodeEmpty, loaded->song.arrangement.PatternCode(line, slot));
        }
    }
}

TEST_F(ProjectFileTest, LengthsAndCodesOnlyFilesCanHoldAreKeptAndPlaySafely) {
    ASSERT_TRUE(engine->LoadPlugin(0, kSynthName));
    engine->song.slots[0].patterns[0].SetLength(65535);
    engine->song.slots[0].patterns[0].SetCell(255, 0, {0x90, 60, 100, 1});
    for (int line = 0; line < kArrangementLines; line += 3) {
        engine->song.arrangement.Set(line, 0, {uint8_t(26 + line % 228), 0});
    }
    engine->song.arrangement.Set(1, 0, {0, 0});
    engine->song.settings.songEnd = kArrangementLines + 100;
    engine->song.settings.loopStart = -5;
    const std::string path = Save(*engine, "odd.vpf");
    auto loaded = Loaded(path, true);
    EXPECT_EQ(65535, loaded->song.slots[0].patterns[0].Length());
    EXPECT_EQ(26, loaded->song.arrangement.PatternCode(0, 0));
    loaded->editor.seqCursorLine = kArrangementLines - 2;
    loaded->PlaySong();
    std::vector<int16_t> buffer(2 * kCallbackFrames);
    for (int i = 0; i < 8; ++i) {
        loaded->StreamCallback(buffer.data(), false);
    }
    loaded->editor.currentPattern = 0;
    loaded->PlayPattern();
    for (int i = 0; i < 8; ++i) {
        loaded->StreamCallback(buffer.data(), false);
    }
}

} // namespace
} // namespace vantreel::test
