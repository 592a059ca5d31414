// Painting runs every 50 ms while playing: it must not allocate.

#include "EditorTestSupport.h"
#include "support/AllocationCounter.h"

namespace vantreel::test {
namespace {

// Paints into a canvas that records nothing, so only the painter's own work counts.
class CountingCanvas : public Canvas {
public:
    void DrawLine(int, int, int, int, Color) override { ++operations; }
    void FillRect(int, int, int, int, Color) override { ++operations; }
    void DrawText(int, int, std::string_view, Color, Color) override { ++operations; }
    void InvertRect(int, int, int, int) override { ++operations; }
    int operations = 0;
};

TEST_F(EditorTest, PaintingAllocatesNothing) {
    engine->playMode = kPlayingSong;
    engine->songPosition = 40;
    CurrentPattern().SetCell(0, 0, {0x90, 60, 120, 0});
    engine->song.arrangement.Set(0, 0, {0, 0});
    painter.midiInputRunning = true;
    CountingCanvas countingCanvas;
    long allocations = 0;
    {
        test::AllocationCounter counter;
        painter.Paint(countingCanvas, kViewWidth, kViewHeight);
        allocations = counter.Count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(countingCanvas.operations, 1000);
}

} // namespace
} // namespace vantreel::test
