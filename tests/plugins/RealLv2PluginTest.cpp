// The LV2 instruments Debian ships (dpf-plugins-lv2, synthv1-lv2, drumkv1-lv2), as a
// user has them: listed, loaded, sounding while a note is held, silent after it is
// released, with their parameters and programs in the panel and their state kept.

#include "Lv2TestSupport.h"
#include "engine/PluginCommands.h"
#include "plugins/Lv2Catalog.h"
#include "plugins/Lv2StateChunk.h"
#include "plugins/PluginText.h"
#include "song/ByteWriter.h"

#include <sndfile.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace vantreel::test {
namespace {

constexpr uint8_t kNote = 48;
constexpr int kNoteOffLine = 2;
constexpr int kQuietSample = 2;

struct RealInstrument {
    const char* bundle;
    std::string uri;
    const char* name;
};

const std::string kRenderTool = std::string(VANTREEL_BINARY_DIR) + "/vantreel-render";

// Runs vantreel-render on `project` into `output`, as a script would, with its
// messages in `log`; without a display and with no toolkit platform chosen, so the
// tool's own choice is what Qt-based instruments get. Returns its exit status.
int RunRenderTool(const std::vector<std::string>& arguments, const std::string& log) {
    const pid_t child = fork();
    if (child == 0) {
        unsetenv("QT_QPA_PLATFORM");
        unsetenv("DISPLAY");
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        std::vector<std::string> args = arguments;
        args.insert(args.begin(), kRenderTool);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        execv(kRenderTool.c_str(), argv.data());
        _exit(121);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<int16_t> DecodeStereo(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr || info.channels != 2) {
        return {};
    }
    std::vector<int16_t> samples(std::size_t(info.frames) * 2);
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

// A half-second 440 Hz tone as a 16-bit mono WAV file.
std::string ToneFile(const ScratchFolder& scratch) {
    constexpr int kRate = 44100;
    constexpr int kFrames = kRate / 2;
    std::vector<uint8_t> wav;
    ByteWriter out(wav);
    out.Bytes("RIFF", 4);
    out.U32(36 + 2 * kFrames);
    out.Bytes("WAVEfmt ", 8);
    out.U32(16);
    out.U16(1); // PCM
    out.U16(1); // mono
    out.U32(kRate);
    out.U32(2 * kRate);
    out.U16(2);
    out.U16(16);
    out.Bytes("data", 4);
    out.U32(2 * kFrames);
    for (int i = 0; i < kFrames; ++i) {
        out.U16(uint16_t(int16_t(20000 * std::sin(2 * M_PI * 440 * i / kRate))));
    }
    return scratch.WriteFile("tone.wav", std::string(wav.begin(), wav.end()));
}

// drumkv1 starts without samples, so it is silent until its state names one: an
// element on `note` playing `file`.
void GiveDrumkv1ASample(AudioEngine& engine, int slot, uint8_t note, const std::string& file) {
    AEffect* e = engine.effect[slot];
    void* data = nullptr;
    const VstIntPtr size = e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
    Lv2StateImage image;
    ASSERT_TRUE(DecodeStateChunk(static_cast<uint8_t*>(data), std::size_t(size), image));
    ASSERT_EQ(image.properties.size(), 1u);
    const std::string xml = "<!DOCTYPE drumkv1>\n<state>\n <elements>\n  <element index=\"" +
                            std::to_string(note) + "\">\n   <sample>" + file +
                            "</sample>\n  </element>\n </elements>\n</state>\n";
    image.properties[0].value.assign(xml.begin(), xml.end());
    std::vector<uint8_t> chunk = EncodeStateChunk(image);
    EngineLockGuard guard(engine.lock);
    e->dispatcher(e, effSetChunk, 0, VstIntPtr(chunk.size()), chunk.data(), 0.0f);
}

class RealLv2PluginTest : public Lv2HostTest, public ::testing::WithParamInterface<RealInstrument> {
protected:
    void SetUp() override {
        Lv2HostTest::SetUp();
        if (!SystemBundleInstalled(GetParam().bundle)) {
            GTEST_SKIP() << GetParam().bundle << " is not installed in " << kSystemLv2Dir;
        }
    }

    std::string Name() const { return Lv2NameFor(GetParam().uri); }

    static std::string ReadLog(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static int Peak(const std::vector<int16_t>& samples, size_t first, size_t last, int channel) {
        int peak = 0;
        for (size_t frame = first; frame < std::min(last, samples.size() / 2); ++frame) {
            peak = std::max(peak, std::abs(int(samples[frame * 2 + channel])));
        }
        return peak;
    }
};

TEST_P(RealLv2PluginTest, IsListedLoadsSoundsOnBothChannelsAndStopsAfterTheNoteOff) {
    const std::vector<Lv2Listing> listed = ListLv2Instruments();
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(),
                            [&](const Lv2Listing& l) { return l.uri == GetParam().uri; }));

    ASSERT_TRUE(engine->LoadPlugin(0, Name().c_str())) << engine->LastPluginError();
    EXPECT_EQ(SlotName(*engine, 0), GetParam().name);
    EXPECT_STREQ(engine->song.slots[0].dllName, Name().c_str());
    if (GetParam().uri == kDrumkv1Uri) {
        GiveDrumkv1ASample(*engine, 0, kNote, ToneFile(scratch));
    }

    Pattern& pattern = engine->song.slots[0].patterns[0];
    pattern.SetCell(0, 0, {0x90, kNote, 110, 0});
    pattern.SetCell(kNoteOffLine, 0, {kStatusNoteOff, 0, 0, 0});
    const std::string project = scratch.Path("note.vpf");
    ASSERT_TRUE(engine->SaveProject(project.c_str()));
    engine->UnloadPlugin(0);
    EXPECT_EQ(SlotName(*engine, 0), "Not instanced");

    const std::string wav = scratch.Path("note.wav");
    const std::string log = scratch.Path("render.log");
    ASSERT_EQ(RunRenderTool({"-q", "--pattern", "0:A", "--seconds", "3", project, wav}, log), 0)
        << ReadLog(log);
    const std::vector<int16_t> out = DecodeStereo(wav);
    const size_t frames = out.size() / 2;
    ASSERT_EQ(frames, size_t(3 * kDefaultSampleRate));
    const size_t noteOff = size_t(kNoteOffLine) * engine->song.settings.lineLength;
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_GT(Peak(out, 0, noteOff, channel), 300) << "silent channel " << channel;
        EXPECT_LE(Peak(out, frames - kDefaultSampleRate / 2, frames, channel), kQuietSample)
            << "channel " << channel << " still sounds two seconds after the release";
    }
}

TEST_P(RealLv2PluginTest, ParametersAndProgramsShowAndTheStateRoundTripsByteForByte) {
    ASSERT_TRUE(engine->LoadPlugin(0, Name().c_str())) << engine->LastPluginError();
    AEffect* e = engine->effect[0];
    ASSERT_GT(e->numParams, 0);
    ASSERT_GE(e->numPrograms, 1);
    EXPECT_FALSE(GetParamName(e, 0).empty());
    EXPECT_FALSE(GetParamDisplay(e, 0).empty());
    EXPECT_FALSE(GetProgramName(e).empty());

    if ((e->flags & effFlagsProgramChunks) == 0) {
        return; // no state extension: its parameters are all there is
    }
    void* data = nullptr;
    const VstIntPtr size = e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
    ASSERT_GT(size, 0);
    const std::vector<uint8_t> saved(static_cast<uint8_t*>(data),
                                     static_cast<uint8_t*>(data) + size);
    {
        EngineLockGuard guard(engine->lock);
        e->dispatcher(e, effSetChunk, 0, VstIntPtr(saved.size()),
                      const_cast<uint8_t*>(saved.data()), 0.0f);
    }
    data = nullptr;
    const VstIntPtr again = e->dispatcher(e, effGetChunk, 0, 0, &data, 0.0f);
    ASSERT_EQ(again, size);
    EXPECT_EQ(
        std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + again),
        saved);
}

TEST_P(RealLv2PluginTest, AParameterChangeSurvivesSaveAndLoad) {
    ASSERT_TRUE(engine->LoadPlugin(3, Name().c_str())) << engine->LastPluginError();
    AEffect* e = engine->effect[3];
    ASSERT_GT(e->numParams, 0);
    const int parameter = e->numParams - 1;
    const float before = e->getParameter(e, parameter);
    const float changed = before > 0.5f ? 0.0f : 1.0f;
    e->setParameter(e, parameter, changed);
    const std::string path = scratch.Path("real.vpf");
    ASSERT_TRUE(engine->SaveProject(path.c_str()));

    ASSERT_TRUE(engine->LoadProject(path.c_str()));
    e = engine->effect[3];
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(SlotName(*engine, 3), GetParam().name);
    EXPECT_EQ(e->getParameter(e, parameter), changed);
}

// Closing or replacing an instrument at once waits for it to be old enough to free
// (the abort this prevents shows only inside a Qt application on a display: see
// Lv2EditorUnderXvfbTest); the slot works again right after.
TEST_P(RealLv2PluginTest, UnloadedRightAfterLoadingLeavesTheProgramRunning) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(engine->LoadPlugin(0, Name().c_str())) << engine->LastPluginError();
        engine->UnloadPlugin(0);
    }
    ASSERT_TRUE(engine->LoadPlugin(0, Name().c_str()));
    ASSERT_TRUE(engine->LoadPlugin(0, Name().c_str())) << "replaced at once";
    Render(1);
    EXPECT_TRUE(engine->song.slots[0].IsInstanced());
}

INSTANTIATE_TEST_SUITE_P(Debian, RealLv2PluginTest,
                         ::testing::Values(RealInstrument{"Kars.lv2", kKarsUri, "Kars"},
                                           RealInstrument{"Nekobi.lv2", kNekobiUri, "Nekobi"},
                                           RealInstrument{"synthv1.lv2", kSynthv1Uri, "synthv1"},
                                           RealInstrument{"drumkv1.lv2", kDrumkv1Uri, "drumkv1"}),
                         [](const ::testing::TestParamInfo<RealInstrument>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace vantreel::test
