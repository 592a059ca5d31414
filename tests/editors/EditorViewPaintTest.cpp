// The whole view: focus strip, status line and windows of odd sizes.

#include "EditorTestSupport.h"

namespace vantreel::test {
namespace {

constexpr Color kTitle{208, 208, 144};
constexpr Color kEmpty{187, 187, 187};

using EditorViewPaintTest = EditorTest;

TEST_F(EditorViewPaintTest, FocusStripMarksTheEditorWithTheKeys) {
    Paint();
    ExpectRaisedBox(0, 0, 16, 216, kEmpty);
    EXPECT_EQ(canvas.TextAt(4, 1), nullptr);
    ExpectRaisedBox(0, 216, 16, kViewHeight - 216, kTitle);
    EXPECT_EQ(BoxText(0, 216), ">");

    controller.MouseDown(300, 215);
    Paint();
    EXPECT_EQ(BoxText(0, 0), ">");
    ExpectRaisedBox(0, 0, 16, 216, kTitle);
    ExpectRaisedBox(0, 216, 16, kViewHeight - 216, kEmpty);
    EXPECT_EQ(canvas.TextAt(4, 217), nullptr);
}

TEST_F(EditorViewPaintTest, StatusLineTexts) {
    Paint();
    EXPECT_EQ(BoxText(16, 636), "Status: Stopped");
    // The box is as wide as the view but starts at 16: its right edge lies outside.
    EXPECT_EQ(canvas.Pixel(16, 636), Gray(kEmpty, 47));
    EXPECT_EQ(canvas.Pixel(kViewWidth - 1, 636), Gray(kEmpty, 47));
    EXPECT_EQ(canvas.Pixel(kViewWidth - 1, 700), kEmpty);
    EXPECT_EQ(canvas.Pixel(500, kViewHeight - 1), Gray(kEmpty, -47));

    engine->playMode = kPlayingPattern;
    engine->patternLine = 7;
    Paint();
    EXPECT_EQ(BoxText(16, 636), "Status: Playing pattern   Line: 007");

    engine->playMode = kPlayingSong;
    engine->songPosition = 3000;
    Paint();
    EXPECT_EQ(BoxText(16, 636), "Status: Playing song      Time: 06:00");
    engine->songPosition = 3000 + 125; // 15 seconds more
    Paint();
    EXPECT_EQ(BoxText(16, 636), "Status: Playing song      Time: 06:15");

    engine->playMode = kStopped;
    painter.midiInputRunning = true;
    Paint();
    EXPECT_EQ(BoxText(16, 636), "Status: Stopped      MIDI IN RUNNING");
}

TEST_F(EditorViewPaintTest, EveryPixelIsPaintedAtTheUsualSize) {
    const Color unpainted{1, 2, 3};
    Paint();
    for (int y = 0; y < kViewHeight; ++y) {
        for (int x = 0; x < kViewWidth; ++x) {
            ASSERT_NE(canvas.Pixel(x, y), unpainted) << x << "," << y;
        }
    }
}

TEST_F(EditorViewPaintTest, NarrowAndShortWindowsPaintWithoutHarm) {
    for (auto [w, h] : {std::pair{0, 0}, {1, 1}, {15, 100}, {100, 300}, {831, 640}, {833, 637}}) {
        RasterCanvas small(std::max(w, 1), std::max(h, 1));
        painter.Paint(small, w, h);
    }
    // The fixed grid stays where it is in a narrow window.
    RasterCanvas narrow(400, 300);
    painter.Paint(narrow, 400, 300);
    const DrawnText* line = narrow.TextAt(20, 253);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text, "000000");
}

TEST_F(EditorViewPaintTest, PaintKeepsCursorInsideTheShownRows) {
    State().cursorLine = 100;
    Paint();
    EXPECT_EQ(State().patternScrollLine, 69);
    State().cursorLine = 0;
    Paint();
    EXPECT_EQ(State().patternScrollLine, 0);
}

} // namespace
} // namespace vantreel::test
