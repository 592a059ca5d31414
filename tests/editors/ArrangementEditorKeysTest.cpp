// Key sequences on the song arrangement editor.

#include "EditorTestSupport.h"

namespace vantreel::test {
namespace {

class ArrangementKeysTest : public EditorTest {
protected:
    void SetUp() override { controller.MouseDown(500, 10); }
    ArrangementEntry Entry(int line, int slot) { return engine->song.arrangement.Get(line, slot); }
};

TEST_F(ArrangementKeysTest, LetterPlacesPatternAndSteps) {
    State().currentSlot = 3;
    EXPECT_TRUE(Key('C'));
    EXPECT_EQ(Entry(0, 3), (ArrangementEntry{2, 0}));
    EXPECT_EQ(State().seqCursorLine, 16);
    Paint();
    EXPECT_EQ(BoxText(SlotX(3), ArrangementRowY(0)), "C:Untit");
    // The pattern itself is untouched by arrangement keys.
    EXPECT_EQ(CurrentPattern().Cell(0, 0), EventCell{});
}

TEST_F(ArrangementKeysTest, BreakAndEmptyKeepTheAuxiliaryByte) {
    engine->song.arrangement.Set(0, 0, {4, 3});
    Key('1');
    EXPECT_EQ(Entry(0, 0), (ArrangementEntry{kPatternCodeBreak, 3}));
    Key(vk::Up);
    Key(vk::Delete);
    EXPECT_EQ(Entry(0, 0), (ArrangementEntry{kPatternCodeEmpty, 3}));
    Key(vk::Up);
    Key('Z');
    EXPECT_EQ(Entry(0, 0), (ArrangementEntry{25, 3}));
    // Other keys change nothing.
    EXPECT_FALSE(Key(vk::Tab));
    EXPECT_FALSE(Key('2'));
    EXPECT_EQ(State().seqCursorLine, 16);
}

TEST_F(ArrangementKeysTest, CursorStepsAndScrolls) {
    Key(vk::Up);
    EXPECT_EQ(State().seqCursorLine, 0);
    Repeat(vk::Down, 15);
    EXPECT_EQ(State().seqCursorLine, 240);
    EXPECT_EQ(State().seqScrollLine, 0);
    Key(vk::Down);
    EXPECT_EQ(State().seqCursorLine, 256);
    EXPECT_EQ(State().seqScrollLine, 16);
    Key(vk::PageDown);
    EXPECT_EQ(State().seqCursorLine, 512);
    EXPECT_EQ(State().seqScrollLine, 272);
    Key(vk::PageUp);
    Key(vk::PageUp);
    EXPECT_EQ(State().seqCursorLine, 0);
    EXPECT_EQ(State().seqScrollLine, 0);
}

TEST_F(ArrangementKeysTest, CursorStopsOnTheLastLine) {
    State().seqCursorLine = 32768 - 48;
    Repeat(vk::PageDown, 3);
    EXPECT_EQ(State().seqCursorLine, 32752);
    Key('A');
    EXPECT_EQ(State().seqCursorLine, 32752);
    EXPECT_EQ(Entry(32752, 0).patternCode, 0);
    EXPECT_EQ(State().seqScrollLine, 32752 - 15 * 16);
    Paint();
    EXPECT_EQ(BoxText(16, ArrangementRowY(15)), "032752");
}

TEST_F(ArrangementKeysTest, SlotsWrapResetTheParameterAndRefreshThePanel) {
    int refreshes = 0;
    controller.refreshControlPanel = [&] { ++refreshes; };
    State().currentSlot = 15;
    State().currentParameter = 7;
    EXPECT_TRUE(Key(vk::Right));
    EXPECT_EQ(State().currentSlot, 0);
    EXPECT_EQ(State().currentParameter, 0);
    EXPECT_EQ(refreshes, 1);
    Key(vk::Left);
    EXPECT_EQ(State().currentSlot, 15);
    EXPECT_EQ(refreshes, 2);
    Key(vk::Down);
    EXPECT_EQ(refreshes, 2);

    Key(vk::Right);
    Paint();
    const DrawnText* header = canvas.TextAt(SlotX(0) + 4, 13);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->color, (Color{255, 255, 255}));
    EXPECT_EQ(header->background, (Color{104, 116, 88}));
}

TEST_F(ArrangementKeysTest, SlotCommandsWorkWithoutAPanel) {
    controller.NextSlot();
    EXPECT_EQ(State().currentSlot, 1);
    controller.PreviousSlot();
    controller.PreviousSlot();
    EXPECT_EQ(State().currentSlot, 15);
}

TEST_F(ArrangementKeysTest, BlockCommandsSetTheSongLoop) {
    Repeat(vk::Down, 2);
    controller.BlockStart();
    Repeat(vk::Down, 4);
    controller.BlockEnd();
    EXPECT_EQ(engine->song.settings.loopStart, 32);
    EXPECT_EQ(engine->song.settings.songEnd, 96);
    EXPECT_EQ(State().blockFirstLine, 0);
    EXPECT_EQ(State().blockLastLine, 0);
}

TEST_F(ArrangementKeysTest, ClickBelowTheArrangementGivesThePatternTheKeys) {
    EXPECT_EQ(State().patternFocus, 0);
    controller.MouseDown(500, 216);
    EXPECT_EQ(State().patternFocus, 1);
    controller.ToggleEditMode();
    Key('C');
    EXPECT_EQ(Entry(0, 0).patternCode, kPatternCodeEmpty);
    EXPECT_EQ(CurrentPattern().Cell(0, 0).status, 0x90);
}

} // namespace
} // namespace vantreel::test
