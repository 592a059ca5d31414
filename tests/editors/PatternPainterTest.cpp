// The pattern editor as painted: title, headers, rows, shades, tints and cursor.

#include "EditorTestSupport.h"

#include <cstdio>

namespace vantreel::test {
namespace {

constexpr Color kTitle{208, 208, 144};
constexpr Color kHeader{192, 208, 160};
constexpr Color kColumnTitle{176, 192, 176};
constexpr Color kLineNumber{144, 160, 160};
constexpr Color kLineNumberAtCursor{128, 144, 144};
constexpr Color kCell{175, 175, 143};
constexpr Color kEmpty{187, 187, 187};
constexpr Shade kCursorLine{-16, -12, -8};
constexpr Shade kBlock{16, 32, 8};

class PatternPainterTest : public EditorTest {
protected:
    // Keeps the play line away from the shown rows so shades are the plain ones.
    void MovePlayLineAway() { engine->patternLine = 1000; }

    void ExpectEmptyRow(int r) {
        ExpectRaisedBox(16, PatternRowY(r), kViewWidth - 16, 12, kEmpty);
        EXPECT_EQ(canvas.TextAt(20, PatternRowY(r) + 1), nullptr) << "row " << r;
    }
};

TEST_F(PatternPainterTest, StartUpTitleAndHeaders) {
    Paint();
    EXPECT_EQ(BoxText(16, 216),
              "Pattern editor      VST: Not instanced      Midi Ch.: 01      Octave: 04      "
              "Index: A (00)      Length: 064      Name: Untitled");
    ExpectRaisedBox(16, 216, kViewWidth - 16, 12, kTitle);
    // 208 + 47 exceeds a channel and is held at 255.
    EXPECT_EQ(canvas.Pixel(16, 216), (Color{255, 255, 191}));

    EXPECT_EQ(BoxText(16, 228), "Track");
    ExpectRaisedBox(16, 228, 48, 12, kHeader);
    EXPECT_EQ(BoxText(16, 240), "Line");
    ExpectRaisedBox(16, 240, 48, 12, kTitle);
    for (int t = 0; t < 8; ++t) {
        char number[4];
        std::snprintf(number, sizeof number, "0%d", t);
        EXPECT_EQ(BoxText(TrackX(t), 228), number);
        ExpectRaisedBox(TrackX(t), 228, 96, 12, kHeader);
        EXPECT_EQ(BoxText(TrackX(t), 240), "CMD MS P0 P1 RS");
        ExpectRaisedBox(TrackX(t), 240, 96, 12, kColumnTitle);
    }
    ExpectRaisedBox(832, 228, kViewWidth - 832, 24, kHeader);
}

TEST_F(PatternPainterTest, TitleShowsChannelOctavePatternLengthAndName) {
    State().midiChannel = 15;
    State().octave = 7;
    State().currentSlot = 2;
    State().currentPattern = 25;
    CurrentPattern().SetLength(300);
    CurrentPattern().SetName("Bass line");
    Paint();
    EXPECT_EQ(BoxText(16, 216),
              "Pattern editor      VST: Not instanced      Midi Ch.: 16      Octave: 07      "
              "Index: Z (25)      Length: 300      Name: Bass line");
}

TEST_F(PatternPainterTest, StartUpRowsShowCursorLineAndEmptyCells) {
    Paint();
    // Line 0 is the cursor line and the play line (0 while stopped): 24 - 16 = 8.
    EXPECT_EQ(BoxText(16, PatternRowY(0)), "000000");
    ExpectRaisedBox(16, PatternRowY(0), 48, 12, Gray(kLineNumberAtCursor, 8));
    EXPECT_EQ(BoxText(TrackX(1), PatternRowY(0)), "    00 00 00 00");
    ExpectFlatBox(TrackX(1), PatternRowY(0), 96, 12, Gray(kCell, 8) + kCursorLine);

    EXPECT_EQ(BoxText(16, PatternRowY(1)), "000001");
    ExpectRaisedBox(16, PatternRowY(1), 48, 12, kLineNumber);
    ExpectFlatBox(TrackX(7), PatternRowY(1), 96, 12, kCell);
    ExpectRaisedBox(832, PatternRowY(1), kViewWidth - 832, 12, kEmpty);
    EXPECT_EQ(BoxText(16, PatternRowY(31)), "000031");
}

TEST_F(PatternPainterTest, RowShadesFollowBeatsAndPlayLine) {
    State().cursorLine = 2;
    MovePlayLineAway();
    Paint();
    auto lineNumberBackground = [&](int line) { return canvas.Pixel(20, PatternRowY(line) + 5); };
    EXPECT_EQ(lineNumberBackground(0), Gray(kLineNumber, 24));
    EXPECT_EQ(lineNumberBackground(16), Gray(kLineNumber, 24));
    EXPECT_EQ(lineNumberBackground(8), Gray(kLineNumber, 16));
    EXPECT_EQ(lineNumberBackground(24), Gray(kLineNumber, 16));
    EXPECT_EQ(lineNumberBackground(4), Gray(kLineNumber, 8));
    EXPECT_EQ(lineNumberBackground(12), Gray(kLineNumber, 8));
    EXPECT_EQ(lineNumberBackground(5), kLineNumber);
    EXPECT_EQ(canvas.Pixel(TrackX(3) + 50, PatternRowY(4) + 11), Gray(kCell, 8 - 8));

    engine->patternLine = 4;
    Paint();
    EXPECT_EQ(lineNumberBackground(4), Gray(kLineNumber, 8 - 16));
    EXPECT_EQ(lineNumberBackground(0), Gray(kLineNumber, 24));
}

TEST_F(PatternPainterTest, CellTextsOfNoteAndNoteOff) {
    CurrentPattern().SetCell(3, 0, {0x90, 0x3C, 0x78, 0x00});
    CurrentPattern().SetCell(5, 6, {0xFE, 0, 0, 0});
    Paint();
    EXPECT_EQ(BoxText(TrackX(0), PatternRowY(3)), "C-4 90 3C 78 00");
    EXPECT_EQ(BoxText(TrackX(6), PatternRowY(5)), "off FE 00 00 00");
}

TEST_F(PatternPainterTest, LengthZeroShowsOnlyEmptyRows) {
    CurrentPattern().SetLength(0);
    Paint();
    for (int r = 0; r < 32; ++r) {
        ExpectEmptyRow(r);
    }
    EXPECT_NE(BoxText(16, 216).find("Length: 000"), std::string::npos);
}

TEST_F(PatternPainterTest, LengthFortyScrolledShowsTheRestEmpty) {
    CurrentPattern().SetLength(40);
    Paint();
    EXPECT_EQ(BoxText(16, PatternRowY(31)), "000031");

    State().patternScrollLine = 20;
    State().cursorLine = 20;
    Paint();
    EXPECT_EQ(BoxText(16, PatternRowY(0)), "000020");
    EXPECT_EQ(BoxText(16, PatternRowY(19)), "000039");
    for (int r = 20; r < 32; ++r) {
        ExpectEmptyRow(r);
    }
}

TEST_F(PatternPainterTest, ScrollFollowsCursorDownAndBack) {
    Repeat(vk::Down, 40);
    Paint();
    EXPECT_EQ(State().patternScrollLine, 9);
    EXPECT_EQ(BoxText(16, PatternRowY(0)), "000009");
    EXPECT_EQ(BoxText(16, PatternRowY(31)), "000040");
    ExpectRaisedBox(16, PatternRowY(31), 48, 12, Gray(kLineNumberAtCursor, 16));

    Repeat(vk::Up, 35);
    Paint();
    EXPECT_EQ(State().patternScrollLine, 5);
    EXPECT_EQ(BoxText(16, PatternRowY(0)), "000005");
}

TEST_F(PatternPainterTest, CursorInvertsExactlyItsColumn) {
    struct Range {
        int column, begin, end;
    };
    const Range ranges[] = {{0, 0, 26},  {1, 27, 33}, {2, 33, 39}, {3, 45, 51}, {4, 51, 57},
                            {5, 63, 69}, {6, 69, 75}, {7, 81, 87}, {8, 87, 93}};
    State().cursorLine = 1;
    State().cursorTrack = 2;
    for (const Range& range : ranges) {
        State().cursorColumn = range.column;
        Paint();
        const int x = TrackX(2);
        const int y = PatternRowY(1);
        const Color plain = kCell + kCursorLine;
        // Column 0 starts on the box's light left edge.
        const Color first = range.begin == 0 ? Gray(plain, 8) : plain;
        for (int row : {y + 1, y + 6, y + 10}) {
            EXPECT_EQ(canvas.Pixel(x + range.begin, row), Inverted(first)) << range.column;
            EXPECT_EQ(canvas.Pixel(x + range.end - 1, row), Inverted(plain)) << range.column;
            if (range.begin > 1) {
                EXPECT_EQ(canvas.Pixel(x + range.begin - 1, row), plain) << range.column;
            }
            EXPECT_EQ(canvas.Pixel(x + range.end, row), plain) << range.column;
        }
        // Rows y to y + 11 are inverted, edges included.
        EXPECT_EQ(canvas.Pixel(x + range.begin + 1, y + 11), Inverted(Gray(plain, -8)));
        EXPECT_EQ(canvas.Pixel(x + range.begin + 1, y + 12), Gray(kCell, 8)); // next row's top edge
    }
}

TEST_F(PatternPainterTest, BlockTintCoversOnlyTheMarkedCells) {
    MovePlayLineAway();
    State().cursorLine = 10;
    State().blockFirstTrack = 1;
    State().blockLastTrack = 2;
    State().blockFirstLine = 2;
    State().blockLastLine = 3;
    Paint();
    auto cellBackground = [&](int line, int track) {
        return canvas.Pixel(TrackX(track) + 94, PatternRowY(line) + 10);
    };
    EXPECT_EQ(cellBackground(2, 1), kCell + kBlock);
    EXPECT_EQ(cellBackground(3, 2), kCell + kBlock);
    EXPECT_EQ(cellBackground(2, 0), kCell);
    EXPECT_EQ(cellBackground(2, 3), kCell);
    EXPECT_EQ(cellBackground(1, 1), kCell);
    EXPECT_EQ(cellBackground(4, 2), Gray(kCell, 8));

    // An end corner above or left of the start marks nothing.
    State().blockLastLine = 1;
    Paint();
    EXPECT_EQ(cellBackground(2, 1), kCell);
    State().blockLastLine = 3;
    State().blockLastTrack = 0;
    Paint();
    EXPECT_EQ(cellBackground(2, 1), kCell);
}

TEST_F(PatternPainterTest, CursorLineAndBlockTintsAdd) {
    MovePlayLineAway();
    State().cursorLine = 2;
    State().cursorTrack = 5;
    State().blockFirstTrack = 0;
    State().blockLastTrack = 7;
    State().blockFirstLine = 0;
    State().blockLastLine = 2;
    Paint();
    EXPECT_EQ(canvas.Pixel(TrackX(1) + 94, PatternRowY(2) + 10), kCell + kCursorLine + kBlock);
}

TEST_F(PatternPainterTest, LengthBeyondStorageNeverShowsMoreThan256Lines) {
    CurrentPattern().SetLength(0xFFFF);
    State().cursorLine = 255;
    State().patternScrollLine = 250;
    Paint();
    EXPECT_EQ(BoxText(16, PatternRowY(5)), "000255");
    for (int r = 6; r < 32; ++r) {
        ExpectEmptyRow(r);
    }
    EXPECT_NE(BoxText(16, 216).find("Length: 65535"), std::string::npos);
}

} // namespace
} // namespace vantreel::test
