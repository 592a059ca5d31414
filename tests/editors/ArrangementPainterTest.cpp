// The song arrangement area as painted: title, slot headers, rows, tints, cursor and
// the song position marker.

#include "EditorTestSupport.h"

namespace vantreel::test {
namespace {

constexpr Color kTitle{208, 208, 144};
constexpr Color kHeader{192, 208, 160};
constexpr Color kLineNumber{144, 160, 160};
constexpr Color kCell{175, 175, 143};
constexpr Color kEmpty{187, 187, 187};
constexpr Color kCurrentSlotHeader{104, 116, 88};
constexpr Color kBlack{0, 0, 0};
constexpr Color kWhite{255, 255, 255};
constexpr Shade kCursorLine{-16, -12, -8};
constexpr Shade kCurrentColumn{-16, -12, -8};
constexpr Shade kLoop{16, 32, 8};

class ArrangementPainterTest : public EditorTest {
protected:
    void FocusArrangement() { State().patternFocus = 0; }
};

TEST_F(ArrangementPainterTest, StartUpTitleHeaderAndLines) {
    Paint();
    // Song position 0: the marker band straddles the top of the first row, over the
    // header's dark bottom edge and the entries' light top edge.
    EXPECT_EQ(canvas.Pixel(SlotX(4), 23), Inverted(Gray(kHeader, -47)));
    EXPECT_EQ(canvas.Pixel(SlotX(4) + 5, 24), Inverted(Gray(kCell + kCursorLine + kLoop, 24 + 8)));
    EXPECT_EQ(canvas.Pixel(63, 23), Gray(kTitle, -47));
    EXPECT_EQ(canvas.Pixel(SlotX(4) + 5, 25), Gray(kCell + kCursorLine + kLoop, 24));

    engine->songPosition = 30000; // the rest without the marker
    Paint();
    EXPECT_EQ(BoxText(16, 0), "Song arrangement");
    ExpectRaisedBox(16, 0, kViewWidth - 16, 12, kTitle);
    EXPECT_EQ(BoxText(16, 12), "Line");
    ExpectRaisedBox(16, 12, 48, 12, kTitle);

    const DrawnText* current = canvas.TextAt(SlotX(0) + 4, 13);
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text, "00:");
    EXPECT_EQ(current->color, kWhite);
    ExpectRaisedBox(SlotX(0), 12, 48, 12, kCurrentSlotHeader);
    const DrawnText* other = canvas.TextAt(SlotX(15) + 4, 13);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->text, "15:");
    EXPECT_EQ(other->color, kBlack);
    ExpectRaisedBox(SlotX(15), 12, 48, 12, kHeader);
    ExpectRaisedBox(832, 12, kViewWidth - 832, 12, kHeader);

    for (int r = 0; r < 16; ++r) {
        char line[8];
        std::snprintf(line, sizeof line, "%.6d", 16 * r);
        EXPECT_EQ(BoxText(16, ArrangementRowY(r)), line);
        EXPECT_EQ(canvas.TextAt(SlotX(4) + 4, ArrangementRowY(r) + 1), nullptr) << "empty entry";
        ExpectRaisedBox(832, ArrangementRowY(r), kViewWidth - 832, 12, kEmpty);
    }
}

TEST_F(ArrangementPainterTest, RowShadesAndLoopTint) {
    engine->songPosition = 30000; // marker out of view
    Paint();
    auto numberBackground = [&](int r) { return canvas.Pixel(20, ArrangementRowY(r) + 5); };
    EXPECT_EQ(numberBackground(0), Gray(kLineNumber, 24) + kCursorLine + kLoop);
    EXPECT_EQ(numberBackground(4), Gray(kLineNumber, 8) + kLoop); // line 64
    EXPECT_EQ(numberBackground(7), kLineNumber + kLoop);          // line 112
    EXPECT_EQ(numberBackground(8), Gray(kLineNumber, 16));        // line 128, outside the loop
    EXPECT_EQ(numberBackground(9), kLineNumber);

    // Entries: the current slot's column is darker; other columns carry the row shade.
    ExpectFlatBox(SlotX(5), ArrangementRowY(8), 48, 12, Gray(kCell, 16));
    ExpectFlatBox(SlotX(0), ArrangementRowY(8), 48, 12, Gray(kCell, 16) + kCurrentColumn);
    ExpectFlatBox(SlotX(5), ArrangementRowY(4), 48, 12, Gray(kCell, 8) + kLoop);
}

TEST_F(ArrangementPainterTest, CursorInvertsTheCurrentSlotEntry) {
    engine->songPosition = 30000;
    State().currentSlot = 3;
    State().seqCursorLine = 32;
    Paint();
    const int y = ArrangementRowY(2);
    const Color plain = kCell + kCursorLine + kCurrentColumn + kLoop;
    EXPECT_EQ(canvas.Pixel(SlotX(3) + 10, y + 5), Inverted(plain));
    EXPECT_EQ(canvas.Pixel(SlotX(3) + 47, y + 11), Inverted(Gray(plain, -8)));
    EXPECT_EQ(canvas.Pixel(SlotX(4) + 10, y + 5), kCell + kCursorLine + kLoop);
    EXPECT_EQ(canvas.Pixel(SlotX(3) + 10, ArrangementRowY(1) + 5), kCell + kCurrentColumn + kLoop);
}

TEST_F(ArrangementPainterTest, EntryTexts) {
    auto& arrangement = engine->song.arrangement;
    engine->song.slots[1].patterns[2].SetName("Untitled");
    arrangement.Set(0, 1, {2, 0});
    arrangement.Set(16, 2, {kPatternCodeBreak, 0});
    arrangement.Set(32, 3, {4, 3});
    arrangement.Set(48, 4, {kPatternCodeEmpty, 7});
    arrangement.Set(64, 5, {200, 0}); // only a damaged file holds such a code
    engine->song.slots[6].patterns[25].SetName("Lead");
    arrangement.Set(80, 6, {25, 0});
    Paint();
    EXPECT_EQ(BoxText(SlotX(1), ArrangementRowY(0)), "C:Untit");
    EXPECT_EQ(BoxText(SlotX(2), ArrangementRowY(1)), "break");
    EXPECT_EQ(BoxText(SlotX(3), ArrangementRowY(2)), "04(3)");
    EXPECT_EQ(canvas.TextAt(SlotX(4) + 4, ArrangementRowY(3) + 1), nullptr);
    EXPECT_EQ(BoxText(SlotX(5), ArrangementRowY(4)), "200(0)");
    EXPECT_EQ(BoxText(SlotX(6), ArrangementRowY(5)), "Z:Lead");
}

TEST_F(ArrangementPainterTest, HeaderShowsInstancedSlotNames) {
    engine->song.slots[2].instanced = 1;
    std::snprintf(engine->song.slots[2].dllName, kTextSize, "%s", "synth.so");
    std::snprintf(engine->song.slots[3].dllName, kTextSize, "%s", "closed.so");
    Paint();
    EXPECT_EQ(BoxText(SlotX(2), 12), "02:synt");
    EXPECT_EQ(BoxText(SlotX(3), 12), "03:");
    engine->song.slots[2].instanced = 0; // no real instance to close
}

TEST_F(ArrangementPainterTest, SongPositionMarkerBand) {
    engine->songPosition = 30000;
    Paint();
    RasterCanvas before = canvas;
    engine->songPosition = 20; // row of line 16, d = 4 * 12 / 16 = 3
    Paint();
    const int y = ArrangementRowY(1);
    for (int x : {64, 300, 831, 900, kViewWidth - 1}) {
        EXPECT_EQ(canvas.Pixel(x, y + 2), Inverted(before.Pixel(x, y + 2))) << x;
        EXPECT_EQ(canvas.Pixel(x, y + 3), Inverted(before.Pixel(x, y + 3))) << x;
        EXPECT_EQ(canvas.Pixel(x, y + 1), before.Pixel(x, y + 1)) << x;
        EXPECT_EQ(canvas.Pixel(x, y + 4), before.Pixel(x, y + 4)) << x;
    }
    EXPECT_EQ(canvas.Pixel(63, y + 2), before.Pixel(63, y + 2));

    // Position 16 is the row's first line: the band straddles the row's top.
    engine->songPosition = 16;
    Paint();
    EXPECT_EQ(canvas.Pixel(300, y - 1), Inverted(before.Pixel(300, y - 1)));
    EXPECT_EQ(canvas.Pixel(300, y), Inverted(before.Pixel(300, y)));
    EXPECT_EQ(canvas.Pixel(300, y + 1), before.Pixel(300, y + 1));
}

TEST_F(ArrangementPainterTest, RowsFollowTheScrollLine) {
    State().seqScrollLine = 32768 - 16 * 16;
    State().seqCursorLine = 32768 - 16;
    Paint();
    EXPECT_EQ(BoxText(16, ArrangementRowY(15)), "032752");
}

} // namespace
} // namespace vantreel::test
