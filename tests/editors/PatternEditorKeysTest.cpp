// Key sequences on the pattern editor: note entry and preview, hex entry, cursor
// movement with its wraps and clamps, the channel keys and the frame's commands.

#include "EditorTestSupport.h"

namespace vantreel::test {
namespace {

class PatternKeysTest : public EditorTest {
protected:
    EventCell CellAt(int line, int track) { return CurrentPattern().Cell(line, track); }
    bool KeyReleased() { return controller.PatternKeys().keyReleased; }
};

TEST_F(PatternKeysTest, EditModeWritesNotesPreviewsThemAndMovesDown) {
    controller.ToggleEditMode();
    EXPECT_TRUE(Key('Z'));
    EXPECT_EQ(CellAt(0, 0), (EventCell{0x90, 0x30, 0x78, 0x00}));
    EXPECT_EQ(State().cursorLine, 1);
    EXPECT_EQ(QueuedEvents(0), (std::vector<EventCell>{{0x90, 0x30, 0x78, 0x00}}));

    // Auto-repeat goes on writing; each new note first releases the track's last one.
    EXPECT_TRUE(controller.KeyDown('P', kNoModifier, true));
    EXPECT_EQ(CellAt(1, 0), (EventCell{0x90, 0x4C, 0x78, 0x00}));
    EXPECT_EQ(State().cursorLine, 2);
    EXPECT_EQ(QueuedEvents(0),
              (std::vector<EventCell>{
                  {0x90, 0x30, 0x78, 0x00}, {0x80, 0x30, 0x00, 0x00}, {0x90, 0x4C, 0x78, 0x00}}));
    controller.KeyUp('P');
    EXPECT_EQ(QueuedEvents(0).back(), (EventCell{0x80, 0x4C, 0, 0}));
}

TEST_F(PatternKeysTest, NoteKeysCoverTheTableWithOctaveAndChannel) {
    controller.ToggleEditMode();
    State().midiChannel = 9;
    State().octave = 1;
    const char keys[] = "ZSXDCVGBHNJMQ2W3ER5T6Y7UI9O0P";
    for (int k = 0; keys[k]; ++k) {
        Tap(keys[k]);
        EXPECT_EQ(CellAt(k, 0), (EventCell{0x99, uint8_t(12 + k), 120, 0})) << keys[k];
    }
    // Letters and digits outside the table write nothing and do not move.
    const int line = State().cursorLine;
    for (int key : {'A', 'F', 'K', 'L', '4', '8'}) {
        EXPECT_FALSE(Key(key));
    }
    EXPECT_EQ(State().cursorLine, line);
    EXPECT_EQ(CellAt(line, 0), EventCell{});
}

TEST_F(PatternKeysTest, OutsideEditModeANoteSoundsOncePerPress) {
    // Nothing sounds before some letter or digit key has been released.
    EXPECT_FALSE(Key('Q'));
    EXPECT_TRUE(QueuedEvents(0).empty());
    controller.KeyUp('A');
    DropQueuedEvents();

    Key('Q');
    controller.KeyDown('Q', kNoModifier, true);
    controller.KeyDown('Q', kNoModifier, true);
    EXPECT_EQ(QueuedEvents(0), (std::vector<EventCell>{{0x90, 60, 120, 0}}));
    controller.KeyUp('Q');
    EXPECT_EQ(QueuedEvents(0).back(), (EventCell{0x80, 60, 0, 0}));
    Key('Q');
    EXPECT_EQ(QueuedEvents(0).back(), (EventCell{0x90, 60, 120, 0}));

    // The pattern and the cursor are untouched.
    EXPECT_EQ(CellAt(0, 0), EventCell{});
    EXPECT_EQ(State().cursorLine, 0);
}

TEST_F(PatternKeysTest, DeleteAndNoteOffOutsideEditModeOnlyDisarm) {
    CurrentPattern().SetCell(0, 0, {0x90, 0x3C, 0x78, 0});
    controller.KeyUp('A');
    EXPECT_TRUE(KeyReleased());
    Key(vk::Delete);
    EXPECT_FALSE(KeyReleased());
    EXPECT_EQ(CellAt(0, 0), (EventCell{0x90, 0x3C, 0x78, 0}));
    Key('Z'); // disarmed: no preview
    controller.KeyUp('A');
    Key('1');
    EXPECT_FALSE(KeyReleased());
    EXPECT_EQ(CellAt(0, 0), (EventCell{0x90, 0x3C, 0x78, 0}));
    EXPECT_EQ(State().cursorLine, 0);
    EXPECT_TRUE(QueuedEvents(0).empty());
}

TEST_F(PatternKeysTest, DeleteAndNoteOffInEditMode) {
    controller.ToggleEditMode();
    CurrentPattern().SetCell(0, 0, {0x90, 0x3C, 0x78, 0});
    Key(vk::Delete);
    EXPECT_EQ(CellAt(0, 0), EventCell{});
    Key('1');
    EXPECT_EQ(CellAt(1, 0), (EventCell{0xFE, 0, 0, 0}));
    EXPECT_EQ(State().cursorLine, 2);
}

TEST_F(PatternKeysTest, HexEntrySetsDigitsAndMovesDownInAnyMode) {
    CurrentPattern().SetCell(0, 0, {0x90, 0x3C, 0x78, 0x00});
    CurrentPattern().SetCell(1, 0, {0x90, 0x3C, 0x78, 0x00});
    CurrentPattern().SetCell(2, 0, {0x90, 0x3C, 0x78, 0x00});
    State().cursorColumn = 1;
    EXPECT_TRUE(Key('A'));
    EXPECT_EQ(CellAt(0, 0), (EventCell{0xA0, 0x3C, 0x78, 0x00}));
    EXPECT_EQ(State().cursorLine, 1);
    State().cursorColumn = 2;
    Key('A');
    EXPECT_EQ(CellAt(1, 0), (EventCell{0x9A, 0x3C, 0x78, 0x00}));
    State().cursorColumn = 3;
    Key(vk::Delete);
    EXPECT_EQ(CellAt(2, 0), (EventCell{0x90, 0x00, 0x78, 0x00}));
    State().cursorColumn = 8;
    Key('7');
    EXPECT_EQ(CellAt(3, 0), (EventCell{0, 0, 0, 0x07}));
    State().cursorColumn = 5;
    Key('F');
    EXPECT_EQ(CellAt(4, 0), (EventCell{0, 0, 0xF0, 0}));
    EXPECT_EQ(State().cursorLine, 5);

    // Other keys do nothing in a digit column, not even a preview.
    controller.KeyUp('A');
    EXPECT_FALSE(Key('G'));
    EXPECT_FALSE(Key('Z'));
    EXPECT_EQ(State().cursorLine, 5);
    EXPECT_TRUE(QueuedEvents(0).empty());
}

TEST_F(PatternKeysTest, HexEntryStopsOnTheLastLine) {
    CurrentPattern().SetLength(2);
    State().cursorColumn = 1;
    Key('1');
    Key('2');
    Key('3');
    EXPECT_EQ(CellAt(0, 0).status, 0x10);
    EXPECT_EQ(CellAt(1, 0).status, 0x30);
    EXPECT_EQ(State().cursorLine, 1);
}

TEST_F(PatternKeysTest, ColumnsWrapAcrossTracks) {
    State().cursorTrack = 7;
    State().cursorColumn = 8;
    Key(vk::Right);
    EXPECT_EQ(State().cursorTrack, 0);
    EXPECT_EQ(State().cursorColumn, 0);
    Key(vk::Left);
    EXPECT_EQ(State().cursorTrack, 7);
    EXPECT_EQ(State().cursorColumn, 8);
    Key(vk::Right);
    Key(vk::Right);
    EXPECT_EQ(State().cursorTrack, 0);
    EXPECT_EQ(State().cursorColumn, 1);
}

TEST_F(PatternKeysTest, TabMovesTracksAndLandsOnTheNote) {
    State().cursorColumn = 5;
    Key(vk::Tab);
    EXPECT_EQ(State().cursorTrack, 1);
    EXPECT_EQ(State().cursorColumn, 0);
    Key(vk::Tab, kShiftModifier);
    Key(vk::Tab, kShiftModifier);
    EXPECT_EQ(State().cursorTrack, 7);
    Key(vk::Tab);
    EXPECT_EQ(State().cursorTrack, 0);
}

TEST_F(PatternKeysTest, LineKeysClampToThePattern) {
    State().cursorLine = 60;
    Key(vk::PageDown);
    EXPECT_EQ(State().cursorLine, 63);
    Key(vk::Down);
    EXPECT_EQ(State().cursorLine, 63);
    Key(vk::PageUp);
    EXPECT_EQ(State().cursorLine, 47);
    State().cursorLine = 10;
    Key(vk::PageUp);
    EXPECT_EQ(State().cursorLine, 0);
    Key(vk::Up);
    EXPECT_EQ(State().cursorLine, 0);

    CurrentPattern().SetLength(0);
    Key(vk::Down);
    EXPECT_EQ(State().cursorLine, 0);
}

TEST_F(PatternKeysTest, LengthBeyondStorageKeepsTheCursorInside) {
    CurrentPattern().SetLength(1000);
    State().cursorLine = 250;
    Key(vk::PageDown);
    EXPECT_EQ(State().cursorLine, 255);
    controller.ToggleEditMode();
    Key('Z');
    EXPECT_EQ(CellAt(255, 0).status, 0x90);
    EXPECT_EQ(State().cursorLine, 255);
}

TEST_F(PatternKeysTest, ChangingPatternKeepsTheLineUntilTheNextCursorKey) {
    State().cursorLine = 50;
    engine->song.slots[0].patterns[1].SetLength(16);
    controller.NextPattern();
    EXPECT_EQ(State().cursorLine, 50);
    Key(vk::Up);
    EXPECT_EQ(State().cursorLine, 15);
}

TEST_F(PatternKeysTest, ChannelKeysWrap) {
    EXPECT_TRUE(Key(vk::Oem1));
    EXPECT_EQ(State().midiChannel, 15);
    Paint();
    EXPECT_NE(BoxText(16, 216).find("Midi Ch.: 16"), std::string::npos);
    Key(vk::OemPlus);
    EXPECT_EQ(State().midiChannel, 0);
    Key(vk::OemPlus);
    EXPECT_EQ(State().midiChannel, 1);
}

TEST_F(PatternKeysTest, ArrangementFocusedReleasesStillEndTheNote) {
    controller.ToggleEditMode();
    State().cursorTrack = 3;
    Key('Z');
    controller.MouseDown(100, 100);
    EXPECT_EQ(State().patternFocus, 0);
    const int line = State().cursorLine;
    Key('X'); // an arrangement key now
    EXPECT_EQ(CellAt(line, 3), EventCell{});
    controller.KeyUp('Z');
    EXPECT_EQ(QueuedEvents(0).back(), (EventCell{0x80, 48, 0, 0}));
    EXPECT_TRUE(KeyReleased());
}

TEST_F(PatternKeysTest, AltCombinationsAreNotEditorKeys) {
    controller.ToggleEditMode();
    EXPECT_FALSE(controller.KeyDown('Z', kAltModifier, false));
    EXPECT_EQ(CellAt(0, 0), EventCell{});
}

TEST_F(PatternKeysTest, PatternAndOctaveCommandsStopAtTheirLimits) {
    for (int i = 0; i < 30; ++i) {
        controller.NextPattern();
        controller.NextOctave();
    }
    EXPECT_EQ(State().currentPattern, 25);
    EXPECT_EQ(State().octave, 8);
    for (int i = 0; i < 30; ++i) {
        controller.PreviousPattern();
        controller.PreviousOctave();
    }
    EXPECT_EQ(State().currentPattern, 0);
    EXPECT_EQ(State().octave, 1);
}

TEST_F(PatternKeysTest, ModeTogglesAndBlockCorners) {
    EXPECT_FALSE(controller.ToggleEditMode());
    EXPECT_EQ(State().editMode, 1);
    controller.ToggleEditMode();
    EXPECT_EQ(State().editMode, 0);
    EXPECT_FALSE(controller.ToggleSlaveCursor());
    EXPECT_EQ(State().slaveCursor, 0);

    State().cursorTrack = 1;
    State().cursorLine = 4;
    EXPECT_TRUE(controller.BlockStart());
    State().cursorTrack = 2;
    State().cursorLine = 7;
    controller.BlockEnd();
    EXPECT_EQ(State().blockFirstTrack, 1);
    EXPECT_EQ(State().blockFirstLine, 4);
    EXPECT_EQ(State().blockLastTrack, 2);
    EXPECT_EQ(State().blockLastLine, 7);
    EXPECT_EQ(engine->song.settings.loopStart, 0);
    EXPECT_EQ(engine->song.settings.songEnd, 128);
}

} // namespace
} // namespace vantreel::test
