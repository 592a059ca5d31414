#include "EngineFixture.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace vantreel::test {
namespace {

constexpr EventCell kNoteC4{0x90, 60, 100, 0};
constexpr int kLine = 5292;

class SequencerTest : public EngineFixture {
protected:
    // Rendering runs in whole callbacks: only the samples asked for count.
    void RenderSamples(int64_t samples) {
        limit = samples;
        EngineFixture::RenderSamples(samples);
    }

    // Song-time sample of every event with the given status byte.
    std::vector<int64_t> Times(const FakePlugin& fake, uint8_t status) const {
        std::vector<int64_t> times;
        for (int n = 0; n < fake.eventCount; ++n) {
            if (fake.events[n].bytes[0] == status && fake.events[n].Sample() < limit) {
                times.push_back(fake.events[n].Sample());
            }
        }
        return times;
    }

    int64_t limit = 0;
};

TEST_F(SequencerTest, LinesStartSampleExactlyAndGatesFireAtHalfALine) {
    FakePlugin& fake = Install(0);
    SetCell(0, 0, 0, 0, {0x90, 60, 100, kRsNoteGate});
    SetCell(0, 0, 1, 0, kNoteC4);
    engine->PlayPattern();
    RenderSamples(2 * kLine);

    // The gate's note-off at half a line, 2646, is the second event: block 10, offset 86,
    // inside a block rather than at its start.
    EXPECT_EQ(Times(fake, 0x90), (std::vector<int64_t>{0, kLine}));
    EXPECT_EQ(Times(fake, 0x80), (std::vector<int64_t>{kLine / 2}));
    EXPECT_EQ(fake.events[1].block, 10);
    EXPECT_EQ(fake.events[1].deltaFrames, 86);
}

// Every event of one 64-line pattern with a gated note on each line, played for
// `samples` samples in pattern or song mode; the line is shortened to `shortTo` after
// `shortAfter` callbacks, when the counter may already lie beyond the new length.
std::vector<std::pair<int64_t, uint8_t>> PlayedEvents(bool songMode, int lineLength, int shortAfter,
                                                      int shortTo, int64_t samples) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    auto fake = std::make_unique<FakePlugin>();
    engine->effect[0] = &fake->effect;
    engine->song.slots[0].instanced = 1;
    for (int line = 0; line < 64; ++line) {
        engine->song.slots[0].patterns[0].SetCell(line, 0,
                                                  {0x90, uint8_t(40 + line), 100, kRsNoteGate});
    }
    engine->song.settings.lineLength = lineLength;
    if (songMode) {
        engine->song.arrangement.Set(0, 0, {0, 0});
        engine->song.settings.songEnd = 64;
        engine->PlaySong();
    } else {
        engine->PlayPattern();
    }
    std::vector<int16_t> out(2 * kCallbackFrames);
    for (int c = 0; int64_t(c) * kCallbackFrames < samples; ++c) {
        if (c == shortAfter) {
            engine->song.settings.lineLength = shortTo;
        }
        engine->StreamCallback(out.data(), false);
    }
    engine->song.slots[0].instanced = 0;
    std::vector<std::pair<int64_t, uint8_t>> events;
    for (int n = 0; n < fake->eventCount; ++n) {
        if (fake->events[n].Sample() < samples) {
            events.emplace_back(fake->events[n].Sample(), fake->events[n].bytes[0]);
        }
    }
    return events;
}

// Song mode steps from one line start or half line to the next rather than frame by
// frame; pattern mode, which counts every frame, must hear the same events at the
// same samples, for the first pass through the pattern.
TEST_F(SequencerTest, SongModeTimesLinesAsPatternModeDoes) {
    for (int length : {1, 2, 3, 255, 256, 257, 2000, 5292}) {
        SCOPED_TRACE(length);
        const int64_t samples = std::min<int64_t>(60 * int64_t(length), 40 * kCallbackFrames);
        const auto song = PlayedEvents(true, length, -1, 0, samples);
        EXPECT_EQ(PlayedEvents(false, length, -1, 0, samples), song);
        EXPECT_GE(song.size(), size_t(samples / length)); // a note per line at least
    }
    // A line shortened below where the counter stands ends at once, in both modes.
    for (int shortTo : {700, 1, 2047}) {
        SCOPED_TRACE(shortTo);
        const int64_t samples = 30 * kCallbackFrames;
        EXPECT_EQ(PlayedEvents(false, 5292, 2, shortTo, samples),
                  PlayedEvents(true, 5292, 2, shortTo, samples));
    }
}

TEST_F(SequencerTest, PatternLoopsEverySixtyFourLines) {
    FakePlugin& fake = Install(0);
    SetCell(0, 0, 0, 3, {0xB0, 7, 100, 0});
    engine->PlayPattern();
    RenderSamples(2 * 64 * kLine + 1);
    EXPECT_EQ(Times(fake, 0xB0), (std::vector<int64_t>{0, 64 * kLine, 2 * 64 * kLine}));
}

TEST_F(SequencerTest, PatternOfLengthZeroRepeatsItsFirstLine) {
    FakePlugin& fake = Install(0);
    engine->song.slots[0].patterns[0].SetLength(0);
    SetCell(0, 0, 0, 0, {0xB0, 1, 1, 0});
    engine->PlayPattern();
    RenderSamples(3 * kLine);
    EXPECT_EQ(Times(fake, 0xB0), (std::vector<int64_t>{0, kLine, 2 * kLine}));
}

TEST_F(SequencerTest, SlaveCursorFollowsThePlayLine) {
    Install(0);
    engine->PlayPattern();
    RenderSamples(3 * kLine + 10);
    EXPECT_EQ(engine->patternLine, 3);
    EXPECT_EQ(engine->editor.cursorLine, 3);
    engine->editor.slaveCursor = 0;
    RenderSamples(2 * kLine);
    EXPECT_EQ(engine->editor.cursorLine, 3);
}

TEST_F(SequencerTest, NoteOffIsQueuedJustBeforeTheNextNoteOn) {
    FakePlugin& fake = Install(0);
    SetCell(0, 0, 0, 0, kNoteC4);
    SetCell(0, 0, 1, 0, {0x92, 64, 90, 0});
    engine->PlayPattern();
    RenderSamples(kLine + kBlockFrames);
    ASSERT_EQ(fake.eventCount, 3);
    EXPECT_EQ(fake.events[1].bytes[0], 0x80); // on the old note's channel
    EXPECT_EQ(fake.events[1].bytes[1], 60);
    EXPECT_EQ(fake.events[1].bytes[2], 0);
    EXPECT_EQ(fake.events[1].Sample(), kLine);
    EXPECT_EQ(fake.events[2].bytes[0], 0x92);
    EXPECT_EQ(fake.events[2].Sample(), kLine);
}

TEST_F(SequencerTest, StopSilencesAndRestartBeginsAtOffsetZero) {
    FakePlugin& fake = Install(0);
    SetCell(0, 0, 0, 0, kNoteC4);
    engine->PlayPattern();
    RenderSamples(3 * kLine);
    engine->StopPlayback();
    EXPECT_EQ(engine->playMode, kStopped);
    EXPECT_EQ(engine->eventLists[0].numEvents, 16); // all notes off on 16 channels
    fake.ClearLog();
    Render(1);
    engine->PlayPattern();
    fake.ClearLog();
    const int blocksBefore = fake.blocks;
    Render(1);
    ASSERT_GE(fake.eventCount, 1);
    EXPECT_EQ(fake.events[0].block, blocksBefore);
    EXPECT_EQ(fake.events[0].deltaFrames, 0);
}

TEST_F(SequencerTest, SongStartsBreaksIdlesAndRestartsPatterns) {
    FakePlugin& fake = Install(1);
    Pattern& a = engine->song.slots[1].patterns[0];
    a.SetLength(2);
    a.SetCell(0, 0, kNoteC4);
    a.SetCell(1, 1, {0xB0, 10, 1, 0});
    Arrangement& song = engine->song.arrangement;
    song.Set(0, 1, {0, 0}); // A starts
    song.Set(4, 1, {0, 0}); // A again after idling
    song.Set(5, 1, {0, 0}); // and restarts on the very next line
    song.Set(6, 1, {kPatternCodeBreak, 0});
    engine->song.settings.songEnd = 8;
    engine->PlaySong();
    RenderSamples(8 * kLine);

    EXPECT_EQ(Times(fake, 0x90), (std::vector<int64_t>{0, 4 * kLine, 5 * kLine}));
    EXPECT_EQ(Times(fake, 0xB0), (std::vector<int64_t>{kLine}));
    // Notes released by each restart and by the break; the break also "releases" the
    // controller number track 1 last sent.
    EXPECT_EQ(Times(fake, 0x80),
              (std::vector<int64_t>{4 * kLine, 5 * kLine, 6 * kLine, 6 * kLine}));
}

TEST_F(SequencerTest, SongWrapsFromSongEndToLoopStart) {
    FakePlugin& fake = Install(0);
    engine->song.slots[0].patterns[0].SetLength(1);
    engine->song.slots[0].patterns[0].SetCell(0, 0, {0xB0, 1, 1, 0});
    for (int line = 0; line < 6; ++line) {
        engine->song.arrangement.Set(line, 0, {0, uint8_t(line)});
    }
    engine->song.settings.loopStart = 2;
    engine->song.settings.songEnd = 4;
    engine->PlaySong();
    RenderSamples(6 * kLine);
    // Lines 0 1 2 3 2 3 ...
    EXPECT_EQ(engine->songPosition, 2);
    EXPECT_EQ(Times(fake, 0xB0).size(), 6u);
}

TEST_F(SequencerTest, LoopStartNotBelowSongEndRepeatsOneLine) {
    Install(0);
    engine->song.settings.loopStart = 9;
    engine->song.settings.songEnd = 3;
    engine->editor.seqCursorLine = 20; // beyond songEnd: plays once, then loopStart
    engine->PlaySong();
    RenderSamples(kLine / 2);
    EXPECT_EQ(engine->songPosition, 20);
    RenderSamples(kLine);
    EXPECT_EQ(engine->songPosition, 9);
    RenderSamples(3 * kLine);
    EXPECT_EQ(engine->songPosition, 9);
}

TEST_F(SequencerTest, DamagedPatternCodesAndPositionsNeverReachOutsideTheSong) {
    FakePlugin& fake = Install(0);
    engine->song.arrangement.Set(0, 0, {26, 0});
    engine->song.arrangement.Set(1, 0, {253, 0});
    engine->song.settings.loopStart = -50; // as a damaged file may hold
    engine->song.settings.songEnd = 2;
    engine->song.settings.lineLength = 0;
    engine->PlaySong();
    Render(2);
    EXPECT_EQ(fake.eventCount, 0);
    EXPECT_GE(engine->songPosition, 0);
    EXPECT_LT(engine->songPosition, kArrangementLines);
}

TEST_F(SequencerTest, SongEndBeyondTheArrangementWrapsInsideIt) {
    Install(0);
    engine->song.settings.songEnd = 1 << 30;
    engine->song.settings.loopStart = 0;
    engine->editor.seqCursorLine = kArrangementLines - 1;
    engine->PlaySong();
    RenderSamples(kLine + 1);
    EXPECT_EQ(engine->songPosition, 0);
}

TEST_F(SequencerTest, SongTimeIsWholeSecondsOfSongPosition) {
    engine->songPosition = 500; // 500 * 5292 / 44100 = 60 s
    EXPECT_EQ(engine->SongTimeSeconds(), 60);
    engine->song.settings.sampleRate = 0;
    EXPECT_EQ(engine->SongTimeSeconds(), 0);
}

} // namespace
} // namespace vantreel::test
