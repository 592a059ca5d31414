#include "EngineFixture.h"
#include "engine/FloorToInt.h"

#include <cstring>

namespace vantreel::test {
namespace {

using SongModelTest = EngineFixture;

TEST_F(SongModelTest, NewEngineHoldsAnEmptyDefaultSong) {
    char name[kTextSize];
    for (int slot = 0; slot < kSlotCount; ++slot) {
        engine->GetSlotName(slot, name);
        EXPECT_STREQ(name, "Not instanced");
        for (int p = 0; p < kPatternsPerSlot; ++p) {
            const Pattern& pattern = engine->song.slots[slot].patterns[p];
            ASSERT_STREQ(pattern.name, "Untitled");
            ASSERT_EQ(pattern.Length(), 64);
        }
    }
    const Pattern& last = engine->song.slots[15].patterns[25];
    for (int line = 0; line < kPatternLines; ++line) {
        for (int t = 0; t < kTracks; ++t) {
            ASSERT_EQ(last.Cell(line, t), EventCell{});
        }
    }
    for (int line : {0, 1, 16, kArrangementLines - 1}) {
        EXPECT_EQ(engine->song.arrangement.Get(line, 7), (ArrangementEntry{255, 0}));
    }
    EXPECT_EQ(engine->song.settings.lineLength, 5292);
    EXPECT_EQ(engine->song.settings.songEnd, 128);
    EXPECT_EQ(engine->song.settings.loopStart, 0);
    EXPECT_EQ(engine->song.settings.masterVolume, 32000);
    EXPECT_EQ(engine->editor.octave, 4);
    EXPECT_EQ(engine->editor.seqStep, 16);
    EXPECT_EQ(engine->editor.slaveCursor, 1);
    EXPECT_EQ(engine->editor.patternFocus, 1);
    EXPECT_STREQ(engine->pluginFolder, "vst");
    EXPECT_EQ(AudioEngine::Current(), engine.get());
}

TEST_F(SongModelTest, ClearProjectClosesPluginsAndKeepsSettings) {
    FakePlugin& fake = Install(3);
    engine->song.settings.loopStart = 5;
    engine->song.settings.songEnd = 77;
    engine->song.settings.masterVolume = 1234;
    engine->song.settings.delay.delayLeft = 99;
    engine->song.settings.reverb.room = 3;
    engine->song.slots[3].sendChorus = 40;
    engine->song.arrangement.Set(100, 3, {2, 7});
    SetCell(3, 2, 10, 1, {0x90, 60, 100, 0});
    engine->song.settings.lineLength = 4000;

    engine->ClearProject();

    ASSERT_EQ(fake.callCount, 2);
    EXPECT_EQ(fake.calls[0], effMainsChanged);
    EXPECT_EQ(fake.calls[1], effClose);
    EXPECT_FALSE(engine->song.slots[3].IsInstanced());
    EXPECT_STREQ(engine->song.slots[3].dllName, "fake.so"); // the flag alone decides
    EXPECT_EQ(engine->song.settings.loopStart, 5);
    EXPECT_EQ(engine->song.settings.songEnd, 77);
    EXPECT_EQ(engine->song.settings.masterVolume, 1234);
    EXPECT_EQ(engine->song.settings.delay.delayLeft, 99);
    EXPECT_EQ(engine->song.settings.reverb.room, 3);
    EXPECT_EQ(engine->song.slots[3].sendChorus, 0);
    EXPECT_EQ(engine->song.arrangement.PatternCode(100, 3), kPatternCodeEmpty);
    EXPECT_EQ(engine->song.slots[3].patterns[2].Cell(10, 1), EventCell{});
    EXPECT_EQ(engine->song.settings.lineLength, 5292);
}

TEST_F(SongModelTest, TempoFollowsTheSampleRateOnlyWhenSetAgain) {
    engine->song.settings.sampleRate = 48000;
    EXPECT_EQ(engine->song.settings.lineLength, 5292);
    engine->SetTempo(125.0);
    EXPECT_EQ(engine->song.settings.lineLength, 5760);
    engine->song.settings.sampleRate = 44100;
    engine->song.settings.lineLength = 5000;
    EXPECT_DOUBLE_EQ(engine->GetTempo(), 132.3);
    engine->SetTempo(133.0); // 44100 * 15 / 133 = 4973.68...
    EXPECT_EQ(engine->song.settings.lineLength, 4973);
}

TEST_F(SongModelTest, ShortPatternKeepsItsHiddenLines) {
    Pattern& pattern = engine->song.slots[0].patterns[0];
    pattern.SetCell(100, 2, {0x90, 1, 2, 3});
    pattern.SetLength(16);
    EXPECT_EQ(pattern.Cell(100, 2), (EventCell{0x90, 1, 2, 3}));
    pattern.SetLength(300); // only a damaged file does this
    EXPECT_EQ(pattern.Length(), 300);
    EXPECT_EQ(pattern.PlayedLength(), 256);
}

TEST(FloorToIntTest, FloorsEveryValueThatOccurs) {
    EXPECT_EQ(FloorToInt(0.0), 0);
    EXPECT_EQ(FloorToInt(0.75), 0);
    EXPECT_EQ(FloorToInt(1.0), 1);
    EXPECT_EQ(FloorToInt(-0.5), -1);
    EXPECT_EQ(FloorToInt(-1.0), -1);
    EXPECT_EQ(FloorToInt(16000.0), 16000);
    EXPECT_EQ(FloorToInt(15999.999), 15999);
    EXPECT_EQ(FloorToInt(-32768.0), -32768);
    EXPECT_EQ(FloorToInt(1.0e-25 * 32000), 0);
}

} // namespace
} // namespace vantreel::test
