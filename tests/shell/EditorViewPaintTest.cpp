// The editor view painted through its real paint event into an image: colours and
// texts at the fixed coordinates of the layout.

#include "ShellTestSupport.h"

#include <gtest/gtest.h>

namespace vantreel::test {
namespace {

constexpr Color kBlack{0, 0, 0};
constexpr Color kTitle{208, 208, 144};
constexpr Color kEmpty{187, 187, 187};
constexpr Color kCell{175, 175, 143};
constexpr Color kLineNumber{144, 160, 160};

constexpr int kTextX = 20; // line numbers and titles: box x 16 + 4
// Top of pattern row r.
constexpr int RowY(int r) {
    return 252 + 12 * r;
}
constexpr int ArrangementRowY(int r) {
    return 24 + 12 * r;
}
constexpr int CellX(int track) {
    return 64 + 96 * track;
}

Color Lighter(Color c, int v) {
    return {uint8_t(c.r + v), uint8_t(c.g + v), uint8_t(c.b + v)};
}

class EditorViewPaint : public testing::Test {
protected:
    std::unique_ptr<AudioEngine> engine = MakeEngine();
    EditorView view{*engine};

    QImage Render() { return RenderView(view); }
    bool Text(const QImage& image, int x, int y, const std::string& text, Color paper) {
        return TextAt(image, view.TextFont(), x, y, text, kBlack, paper);
    }
};

TEST_F(EditorViewPaint, StartUpShowsTitleStatusAndFocusStrip) {
    const QImage image = Render();
    EXPECT_TRUE(Text(image, kTextX, 217,
                     "Pattern editor      VST: Not instanced      Midi Ch.: 01      Octave: 04"
                     "      Index: A (00)      Length: 064      Name: Untitled",
                     kTitle));
    EXPECT_TRUE(Text(image, kTextX, 637, "Status: Stopped", kEmpty));
    EXPECT_TRUE(Text(image, kTextX, 1, "Song arrangement", kTitle));
    // The strip beside the pattern editor has the keys; the arrangement's is empty.
    EXPECT_TRUE(Text(image, 4, 217, ">", kTitle));
    EXPECT_EQ(PixelAt(image, 8, 400), kTitle);
    EXPECT_EQ(PixelAt(image, 8, 100), kEmpty);
}

TEST_F(EditorViewPaint, RowsAreShadedByBeatAndCursorLine) {
    const QImage image = Render();
    // Line 0 is the cursor line and, while stopped, the play line (16 darker).
    const Color atCursor{128, 144, 144};
    EXPECT_EQ(PixelAt(image, 60, RowY(0) + 6), Lighter(atCursor, 24 - 16));
    EXPECT_EQ(PixelAt(image, 60, RowY(1) + 6), kLineNumber);
    EXPECT_EQ(PixelAt(image, 60, RowY(4) + 6), Lighter(kLineNumber, 8));
    EXPECT_EQ(PixelAt(image, 60, RowY(8) + 6), Lighter(kLineNumber, 16));
    EXPECT_EQ(PixelAt(image, 60, RowY(16) + 6), Lighter(kLineNumber, 24));
    EXPECT_TRUE(Text(image, kTextX, RowY(16) + 1, "000016", Lighter(kLineNumber, 24)));
    // Cells: the cursor line is tinted, other lines carry the beat shade only.
    EXPECT_EQ(PixelAt(image, CellX(1) + 94, RowY(0) + 6), (Color{167, 171, 143}));
    EXPECT_EQ(PixelAt(image, CellX(1) + 94, RowY(1) + 6), kCell);
    EXPECT_TRUE(Text(image, CellX(1) + 4, RowY(1) + 1, "    00 00 00 00", kCell));
}

TEST_F(EditorViewPaint, CursorInvertsItsColumnOverTheWholeRow) {
    const QImage image = Render();
    // Cell (0, 0): cursor line, play line, beat shade, and the unmarked block's tint.
    const Color cursorLineCell{183, 203, 151};
    EXPECT_EQ(PixelAt(image, CellX(0) + 2, RowY(0) + 6), Inverted(cursorLineCell));
    // The flat box's bottom edge inside the column is inverted too, beyond it not.
    const Color bottomEdge{175, 195, 143};
    EXPECT_EQ(PixelAt(image, CellX(0) + 20, RowY(0) + 11), Inverted(bottomEdge));
    EXPECT_EQ(PixelAt(image, CellX(0) + 30, RowY(0) + 11), bottomEdge);

    engine->editor.cursorColumn = 3; // data byte 1, high digit: x 45..51
    const QImage moved = Render();
    EXPECT_EQ(PixelAt(moved, CellX(0) + 2, RowY(0) + 6), cursorLineCell);
    EXPECT_EQ(PixelAt(moved, CellX(0) + 45, RowY(0) + 11), Inverted(bottomEdge));
    EXPECT_EQ(PixelAt(moved, CellX(0) + 51, RowY(0) + 11), bottomEdge);
}

TEST_F(EditorViewPaint, CellsShowNoteNamesAndNoteOffs) {
    Pattern& pattern = engine->CurrentPattern();
    pattern.SetCell(2, 2, {0x90, 0x3C, 0x78, 0x00});
    pattern.SetCell(3, 3, {0xFE, 0x00, 0x00, 0x00});
    const QImage image = Render();
    EXPECT_TRUE(Text(image, CellX(2) + 4, RowY(2) + 1, "C-4 90 3C 78 00", kCell));
    EXPECT_TRUE(Text(image, CellX(3) + 4, RowY(3) + 1, "off FE 00 00 00", kCell));
}

TEST_F(EditorViewPaint, EmptyPatternShowsGreyRowsOnly) {
    engine->CurrentPattern().SetLength(0);
    const QImage image = Render();
    for (int r : {0, 15, 31}) {
        EXPECT_EQ(PixelAt(image, 60, RowY(r) + 6), kEmpty) << "row " << r;
        EXPECT_EQ(PixelAt(image, 500, RowY(r) + 6), kEmpty) << "row " << r;
    }
}

TEST_F(EditorViewPaint, ShortPatternScrolledShowsItsEndThenGreyRows) {
    engine->CurrentPattern().SetLength(40);
    engine->editor.patternScrollLine = 20;
    engine->editor.cursorLine = 20;
    const QImage image = Render();
    EXPECT_TRUE(Text(image, kTextX, RowY(0) + 1, "000020", (Color{136, 152, 152})));
    EXPECT_TRUE(Text(image, kTextX, RowY(19) + 1, "000039", kLineNumber));
    EXPECT_EQ(PixelAt(image, 60, RowY(20) + 6), kEmpty);
    EXPECT_EQ(PixelAt(image, 500, RowY(31) + 6), kEmpty);
}

TEST_F(EditorViewPaint, ViewFollowsTheCursorDownAndBack) {
    engine->editor.cursorLine = 40;
    const QImage down = Render();
    EXPECT_EQ(engine->editor.patternScrollLine.load(), 9);
    EXPECT_TRUE(Text(down, kTextX, RowY(31) + 1, "000040", kLineNumber));

    engine->editor.cursorLine = 5;
    const QImage back = Render();
    EXPECT_EQ(engine->editor.patternScrollLine.load(), 5);
    EXPECT_TRUE(Text(back, kTextX, RowY(0) + 1, "000005", (Color{128, 144, 144})));
}

TEST_F(EditorViewPaint, ArrangementTintsTheSongLoopRange) {
    const QImage image = Render();
    EXPECT_EQ(PixelAt(image, 60, ArrangementRowY(0) + 6), (Color{168, 204, 184}));
    EXPECT_EQ(PixelAt(image, 60, ArrangementRowY(1) + 6), (Color{160, 192, 168}));
    EXPECT_EQ(PixelAt(image, 60, ArrangementRowY(7) + 6), (Color{160, 192, 168}));
    EXPECT_EQ(PixelAt(image, 60, ArrangementRowY(8) + 6), Lighter(kLineNumber, 16));
    EXPECT_TRUE(Text(image, kTextX, ArrangementRowY(8) + 1, "000128", Lighter(kLineNumber, 16)));
}

TEST_F(EditorViewPaint, SongPositionMarkerIsATwoPixelInvertedBand) {
    engine->songPosition = 0;
    const QImage before = Render();
    engine->songPosition = 20; // row of line 16, d = 4 x 12 / 16 = 3
    const QImage after = Render();
    const int top = ArrangementRowY(1) + 3 - 1;
    for (int x : {64, 200, 999}) {
        EXPECT_EQ(PixelAt(after, x, top), Inverted(PixelAt(before, x, top))) << x;
        EXPECT_EQ(PixelAt(after, x, top + 1), Inverted(PixelAt(before, x, top + 1))) << x;
        EXPECT_EQ(PixelAt(after, x, top - 1), PixelAt(before, x, top - 1)) << x;
        EXPECT_EQ(PixelAt(after, x, top + 2), PixelAt(before, x, top + 2)) << x;
    }
    EXPECT_EQ(PixelAt(after, 63, top), PixelAt(before, 63, top));
}

TEST_F(EditorViewPaint, StatusLineShowsPlayPositionAndSongTime) {
    engine->playMode = kPlayingPattern;
    engine->patternLine = 5;
    EXPECT_TRUE(Text(Render(), kTextX, 637, "Status: Playing pattern   Line: 005", kEmpty));

    engine->playMode = kPlayingSong;
    engine->songPosition = 3000; // 3000 x 5292 / 44100 = 360 seconds
    EXPECT_TRUE(Text(Render(), kTextX, 637, "Status: Playing song      Time: 06:00", kEmpty));
}

TEST_F(EditorViewPaint, OddSizesAndLengthsPaintWithoutHarm) {
    engine->CurrentPattern().SetLength(300);
    engine->editor.cursorLine = 255;
    for (QSize size : {QSize(200, 120), QSize(832, 636), QSize(1600, 1200)}) {
        const QImage image = RenderView(view, size);
        EXPECT_EQ(image.size(), size);
    }
}

} // namespace
} // namespace vantreel::test
