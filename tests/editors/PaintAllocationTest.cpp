// Painting runs every 50 ms while playing: it must not allocate. This binary's
// operator new counts the allocations made while `counting` is set.

#include "EditorTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
} // namespace

void* operator new(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

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
    allocations = 0;
    counting = true;
    painter.Paint(countingCanvas, kViewWidth, kViewHeight);
    counting = false;
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(countingCanvas.operations, 1000);
}

} // namespace
} // namespace vantreel::test
