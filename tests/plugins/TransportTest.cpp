// What audioMasterGetTime tells a plug-in, seen by the probe at every block it
// processes: position, tempo, loop and transport state of the song.

#include "PluginTestSupport.h"
#include "plugins/HostCallback.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace vantreel::test {
namespace {

using probe::TimeRecord;

constexpr VstInt32 kFilled =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;

class TransportTest : public PluginHostTest {
protected:
    AEffect* instance = nullptr;

    void SetUp() override {
        PluginHostTest::SetUp();
        ASSERT_TRUE(engine->LoadPlugin(0, kProbeName)) << engine->LastPluginError();
        instance = engine->LivePlugin(0);
        probe.clearLog(instance);
    }

    std::vector<TimeRecord> Times() { return LogOf(0)->times.Snapshot(); }

    // The records of the next `callbacks` callbacks.
    std::vector<TimeRecord> RenderTimes(int callbacks) {
        probe.clearLog(instance);
        Render(callbacks);
        return Times();
    }
};

TEST_F(TransportTest, StoppedSongHasTempoRateAndNoPlayingFlag) {
    const std::vector<TimeRecord> times = RenderTimes(1);
    ASSERT_EQ(times.size(), size_t(kBlocksPerCallback));
    for (const TimeRecord& t : times) {
        ASSERT_TRUE(t.answered);
        EXPECT_EQ(t.info.flags & kFilled, kFilled);
        EXPECT_EQ(t.info.flags & kVstTransportPlaying, 0);
        EXPECT_DOUBLE_EQ(t.info.sampleRate, 44100.0);
        EXPECT_DOUBLE_EQ(t.info.tempo, 44100.0 * 15 / 5292);
        EXPECT_EQ(t.info.timeSigNumerator, 4);
        EXPECT_EQ(t.info.timeSigDenominator, 4);
        EXPECT_DOUBLE_EQ(t.info.ppqPos, 0.0);
    }
}

TEST_F(TransportTest, PlayingPatternCountsQuarterNotesOfFourLinesAndFollowsATempoChange) {
    engine->song.slots[0].patterns[0].SetLength(256);
    engine->PlayPattern();
    std::vector<TimeRecord> times = RenderTimes(1);
    ASSERT_EQ(times.size(), 8u);
    const double lineLength = 5292;
    for (size_t b = 0; b < times.size(); ++b) {
        SCOPED_TRACE(b);
        const VstTimeInfo& info = times[b].info;
        EXPECT_NE(info.flags & kVstTransportPlaying, 0);
        EXPECT_EQ((info.flags & kVstTransportChanged) != 0, b == 0) << "only the start changes";
        EXPECT_DOUBLE_EQ(info.samplePos, double(b * kBlockFrames));
        EXPECT_NEAR(info.ppqPos, b * kBlockFrames / lineLength / 4, 1e-9);
        EXPECT_DOUBLE_EQ(info.barStartPos, 0.0);
        EXPECT_DOUBLE_EQ(info.cycleStartPos, 0.0);
        EXPECT_DOUBLE_EQ(info.cycleEndPos, 64.0);
    }
    // Twice the tempo: quarter notes pass twice as fast from where the song stood.
    engine->SetTempo(250.0);
    times = RenderTimes(1);
    ASSERT_EQ(times.size(), 8u);
    EXPECT_DOUBLE_EQ(times[0].info.tempo, 250.0);
    for (size_t b = 1; b < times.size(); ++b) {
        EXPECT_NEAR(times[b].info.ppqPos - times[b - 1].info.ppqPos, kBlockFrames / 2646.0 / 4,
                    1e-9);
        EXPECT_EQ(times[b].info.flags & kVstTransportChanged, 0);
    }
    // The line under way keeps its frames played, now of a shorter line.
    EXPECT_NEAR(times[0].info.ppqPos, 8 * kBlockFrames / 2646.0 / 4, 1e-9);
    EXPECT_DOUBLE_EQ(times[0].info.samplePos, 8.0 * kBlockFrames);
    // Faster again, inside a line now longer than the new one: the position never
    // runs backwards.
    engine->SetTempo(500.0);
    times = RenderTimes(1);
    EXPECT_GE(times[0].info.ppqPos, times.front().info.ppqPos);
    for (size_t b = 1; b < times.size(); ++b) {
        EXPECT_GT(times[b].info.ppqPos, times[b - 1].info.ppqPos);
        EXPECT_EQ(times[b].info.flags & kVstTransportChanged, 0);
    }
}

TEST_F(TransportTest, PatternLoopJumpsBackWithTheChangedFlagAndBarsOfFourBeats) {
    Pattern& pattern = engine->song.slots[0].patterns[0];
    pattern.SetLength(32); // eight beats, two bars
    engine->song.settings.lineLength = 1000;
    engine->PlayPattern();
    const std::vector<TimeRecord> times = RenderTimes(20); // 160 blocks, 40960 frames
    int jumps = 0;
    for (size_t b = 1; b < times.size(); ++b) {
        const VstTimeInfo& info = times[b].info;
        const bool jumped = info.ppqPos < times[b - 1].info.ppqPos;
        jumps += jumped;
        EXPECT_EQ((info.flags & kVstTransportChanged) != 0, jumped) << b;
        EXPECT_NE(info.flags & kVstTransportCycleActive, 0);
        EXPECT_DOUBLE_EQ(info.cycleEndPos, 8.0);
        EXPECT_DOUBLE_EQ(info.barStartPos, info.ppqPos < 4.0 ? 0.0 : 4.0);
        EXPECT_LT(info.ppqPos, 8.0);
        // The sample position keeps counting across the loop.
        EXPECT_DOUBLE_EQ(info.samplePos, double(b * kBlockFrames));
    }
    EXPECT_EQ(jumps, 1); // 32000 frames per pass
}

TEST_F(TransportTest, SongLoopRangeIsTheArrangementsLoopAndStopClearsPlaying) {
    engine->song.settings.loopStart = 8;
    engine->song.settings.songEnd = 16;
    engine->song.settings.lineLength = 1000;
    engine->editor.seqCursorLine = 12;
    engine->PlaySong();
    std::vector<TimeRecord> times = RenderTimes(4); // 8192 frames: past line 16
    ASSERT_FALSE(times.empty());
    EXPECT_DOUBLE_EQ(times[0].info.ppqPos, 3.0); // line 12
    EXPECT_DOUBLE_EQ(times[0].info.cycleStartPos, 2.0);
    EXPECT_DOUBLE_EQ(times[0].info.cycleEndPos, 4.0);
    double lowest = 10.0;
    for (const TimeRecord& t : times) {
        lowest = std::min(lowest, t.info.ppqPos);
        EXPECT_LT(t.info.ppqPos, 4.0);
    }
    EXPECT_LT(lowest, 2.5) << "the song looped back to line 8";
    EXPECT_GE(lowest, 2.0);

    engine->StopPlayback();
    times = RenderTimes(1);
    EXPECT_EQ(times[0].info.flags & kVstTransportPlaying, 0);
    EXPECT_NE(times[0].info.flags & kVstTransportChanged, 0);
    EXPECT_EQ(times[1].info.flags & kVstTransportChanged, 0);
}

// A plug-in's editor thread reads the record while the audio thread publishes one per
// block: every record it gets is whole, its position and sample count agreeing.
TEST_F(TransportTest, ConcurrencyAnotherThreadReadsWholeRecords) {
    engine->song.slots[0].patterns[0].SetLength(256);
    engine->song.settings.lineLength = 4096;
    engine->PlayPattern();
    std::atomic<bool> done{false};
    std::atomic<int> reads{0};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done) {
            const auto* info = reinterpret_cast<const VstTimeInfo*>(
                probe.callHost(instance, audioMasterGetTime, 0, kFilled, nullptr, 0.0f));
            if (info == nullptr || info->ppqPos != info->samplePos / 4096.0 / 4) {
                ++torn;
            }
            ++reads;
        }
    });
    // At most 400 callbacks (819200 frames): inside the first pass of the pattern.
    for (int callbacks = 0; callbacks < 400 && (callbacks < 16 || reads < 1000); ++callbacks) {
        Render(1);
    }
    done = true;
    reader.join();
    EXPECT_GT(reads, 0);
    EXPECT_EQ(torn, 0);
}

TEST_F(TransportTest, WithoutAnEngineTheHostHasNoTimeToGive) {
    engine.reset();
    EXPECT_EQ(HostCallback(nullptr, audioMasterGetTime, 0, 0, nullptr, 0.0f), 0);
}

} // namespace
} // namespace vantreel::test
