// vantreel-render's job in-process, with the probe plug-in in the project, so the
// events it received can be laid beside the rendered file sample by sample.

#include "tools/render/RenderJob.h"
#include "ProjectTestSupport.h"
#include "engine/OfflineRenderer.h"
#include "testplugins/probe/ProbeLog.h"

#include <sndfile.h>

namespace vantreel::test {
namespace {

constexpr int kLineLength = 1001; // lines start inside blocks, not on their edges

struct TimedEvent {
    int64_t sample;
    uint8_t bytes[4];
    bool operator==(const TimedEvent& o) const {
        return sample == o.sample && std::memcmp(bytes, o.bytes, 4) == 0;
    }
};

std::ostream& operator<<(std::ostream& out, const TimedEvent& e) {
    char text[48];
    std::snprintf(text, sizeof text, "@%lld %02X %02X %02X %02X", (long long)e.sample, e.bytes[0],
                  e.bytes[1], e.bytes[2], e.bytes[3]);
    return out << text;
}

std::vector<int16_t> ReadAudio(const std::string& path, SF_INFO& info) {
    info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(nullptr, file) << sf_strerror(nullptr);
    if (!file) {
        return {};
    }
    std::vector<int16_t> samples(std::size_t(info.frames) * info.channels);
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
    return samples;
}

class RenderJobTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivatePluginEnvironment(scratch);
        source = MakeEngine();
        ASSERT_TRUE(source->LoadPlugin(0, kProbeName));
        AEffect* e = source->effect[0];
        e->setParameter(e, probe::kProbeLevelParameter, 0.25f);
        source->song.settings.lineLength = kLineLength;
    }

    void SetCell(int pattern, int line, int track, EventCell cell) {
        source->song.slots[0].patterns[pattern].SetCell(line, track, cell);
    }

    // Renders through the job; returns the events the probe received, in song time.
    std::vector<TimedEvent> Render(render::RenderOptions options, std::vector<int16_t>& audio) {
        options.project = scratch.Path("probe.vpf");
        options.output = scratch.Path("probe.wav");
        options.quiet = true;
        EXPECT_TRUE(source->SaveProject(options.project.c_str()));
        auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
        EXPECT_EQ(render::kExitOk, render::RenderJob(*engine, options).Run());
        SF_INFO info;
        audio = ReadAudio(options.output, info);
        EXPECT_EQ(2, info.channels);
        EXPECT_EQ(engine->song.settings.sampleRate, info.samplerate);

        static probe::ProbeApi api = probe::ProbeApi::Open((kPluginDir + "/" + kProbeName).c_str());
        std::vector<TimedEvent> events;
        probe::ProbeLog* log = api.Ok() ? api.log(engine->effect[0]) : nullptr;
        EXPECT_NE(nullptr, log);
        if (log) {
            for (const probe::EventRecord& r : log->events.Snapshot()) {
                TimedEvent e{int64_t(r.block) * kBlockFrames + r.deltaFrames, {}};
                std::memcpy(e.bytes, r.midiData, 4);
                events.push_back(e);
            }
        }
        ExpectSameAsTheEngine(options, audio);
        return events;
    }

    // The file holds exactly what the stream callback of a fresh engine gives.
    void ExpectSameAsTheEngine(const render::RenderOptions& options,
                               const std::vector<int16_t>& audio) {
        auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
        ASSERT_TRUE(engine->LoadProject(options.project.c_str()));
        if (options.patternMode) {
            engine->editor.currentSlot = options.slot;
            engine->editor.currentPattern = options.pattern;
            engine->PlayPattern();
        } else {
            engine->editor.seqCursorLine = options.start;
            engine->PlaySong();
        }
        std::vector<int16_t> direct(audio.size());
        OfflineRenderer(*engine).Render(direct.data(), int64_t(audio.size() / 2));
        EXPECT_EQ(direct, audio);
    }

    Scratch scratch;
    std::unique_ptr<AudioEngine> source;
};

TEST_F(RenderJobTest, PatternModeEventsFallOnTheLinesOfTheRenderedFile) {
    Pattern& a = source->song.slots[0].patterns[0];
    a.SetLength(8);
    SetCell(0, 0, 0, {0x90, 60, 100, 0});
    SetCell(0, 3, 1, {0x91, 64, 80, kRsNoteGate});
    SetCell(0, 5, 0, {0x90, 62, 100, 0});
    SetCell(0, 7, 2, {0xB0, 7, 100, 0});
    source->song.slots[1].patterns[0].SetCell(0, 0, {0x90, 1, 1, 0}); // another slot's: unheard

    render::RenderOptions options;
    options.patternMode = true;
    std::vector<int16_t> audio;
    const std::vector<TimedEvent> events = Render(options, audio);
    EXPECT_EQ(std::size_t(8 * kLineLength * 2), audio.size());
    // Whole callbacks are rendered; past the cut the pattern has started over.
    const std::vector<TimedEvent> expected = {
        {0, {0x90, 60, 100, 0}},
        {3 * kLineLength, {0x91, 64, 80, 1}},
        {3 * kLineLength + kLineLength / 2, {0x81, 64, 0, 0}},
        {5 * kLineLength, {0x80, 60, 0, 0}},
        {5 * kLineLength, {0x90, 62, 100, 0}},
        {7 * kLineLength, {0xB0, 7, 100, 0}},
        {8 * kLineLength, {0x80, 62, 0, 0}},
        {8 * kLineLength, {0x90, 60, 100, 0}},
    };
    EXPECT_EQ(expected, events);
}

TEST_F(RenderJobTest, SongModeEventsFollowTheArrangementFromTheStartLine) {
    source->song.slots[0].patterns[0].SetLength(4);
    SetCell(0, 0, 0, {0x90, 60, 100, 0});
    SetCell(0, 2, 0, {0x90, 62, 100, 0});
    source->song.slots[0].patterns[1].SetLength(2);
    SetCell(1, 0, 1, {0x90, 70, 100, 0});
    SetCell(1, 1, 1, {kStatusNoteOff, 0, 0, 0});
    Arrangement& arrangement = source->song.arrangement;
    arrangement.Set(0, 0, {0, 0});
    arrangement.Set(4, 0, {1, 0});
    arrangement.Set(6, 0, {kPatternCodeBreak, 0});
    source->song.settings.songEnd = 8;

    render::RenderOptions options;
    std::vector<int16_t> audio;
    std::vector<TimedEvent> events = Render(options, audio);
    EXPECT_EQ(std::size_t(8 * kLineLength * 2), audio.size());
    std::vector<TimedEvent> expected = {
        {0, {0x90, 60, 100, 0}},
        {2 * kLineLength, {0x80, 60, 0, 0}},
        {2 * kLineLength, {0x90, 62, 100, 0}},
        {4 * kLineLength, {0x90, 70, 100, 0}},
        {5 * kLineLength, {0x80, 70, 0, 0}},
        {6 * kLineLength, {0x80, 62, 0, 0}},   // the break releases what pattern A left
        {8 * kLineLength, {0x90, 60, 100, 0}}, // songEnd: back to loopStart
    };
    EXPECT_EQ(expected, events);

    options.start = 4;
    events = Render(options, audio);
    EXPECT_EQ(std::size_t(4 * kLineLength * 2), audio.size());
    expected = {
        {0, {0x90, 70, 100, 0}},
        {1 * kLineLength, {0x80, 70, 0, 0}},
        {4 * kLineLength, {0x90, 60, 100, 0}},
    };
    EXPECT_EQ(expected, events);
}

TEST_F(RenderJobTest, SecondsAndTailSetTheLengthAtTheProjectsSampleRate) {
    source->song.settings.sampleRate = 22050;
    render::RenderOptions options;
    options.seconds = 0.5;
    options.tail = 0.25;
    std::vector<int16_t> audio;
    Render(options, audio);
    EXPECT_EQ(std::size_t((11025 + 5513) * 2), audio.size()); // 5512.5 rounds up
}

} // namespace
} // namespace vantreel::test
