#pragma once
// A fresh engine without an output stream, the editors over it, and a raster canvas
// of the size the window usually has.

#include "RasterCanvas.h"
#include "editors/EditorController.h"
#include "editors/EditorPainter.h"
#include "engine/AudioEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

namespace vantreel {

inline void PrintTo(const Color& c, std::ostream* os) {
    *os << "rgb(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

namespace test {

constexpr int kViewWidth = 1280;
constexpr int kViewHeight = 800;

// The top of pattern row r and of arrangement row r.
constexpr int PatternRowY(int r) {
    return 252 + 12 * r;
}
constexpr int ArrangementRowY(int r) {
    return 24 + 12 * r;
}
constexpr int TrackX(int t) {
    return 64 + 96 * t;
}
constexpr int SlotX(int s) {
    return 64 + 48 * s;
}

constexpr Color Gray(Color c, int v) {
    return c + Shade::Gray(v);
}

class EditorTest : public ::testing::Test {
protected:
    std::unique_ptr<AudioEngine> engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    EditorController controller{*engine};
    EditorPainter painter{*engine};
    RasterCanvas canvas{kViewWidth, kViewHeight};

    EditorState& State() { return engine->editor; }
    Pattern& CurrentPattern() { return engine->CurrentPattern(); }

    void Paint() {
        canvas.Clear({1, 2, 3});
        painter.Paint(canvas, kViewWidth, kViewHeight);
    }

    std::string TextAt(int x, int y) const {
        const DrawnText* t = canvas.TextAt(x, y);
        return t ? t->text : std::string("<none>");
    }

    // The text of a box drawn at (x, y), which starts 4 right and 1 below the corner.
    std::string BoxText(int x, int y) const { return TextAt(x + 4, y + 1); }

    bool Key(int vkey, int modifiers = kNoModifier) {
        return controller.KeyDown(vkey, modifiers, false);
    }
    // A press and its release.
    void Tap(int vkey, int modifiers = kNoModifier) {
        controller.KeyDown(vkey, modifiers, false);
        controller.KeyUp(vkey);
    }
    void Repeat(int vkey, int times) {
        for (int i = 0; i < times; ++i) {
            Key(vkey);
        }
    }

    // Checks the frame and the inside colour of a box drawn with the given edge offset.
    void ExpectBox(int x, int y, int w, int h, Color background, int edge) const {
        const Color light = Gray(background, edge);
        const Color dark = Gray(background, -edge);
        EXPECT_EQ(canvas.Pixel(x, y), light) << "top-left of box at " << x << "," << y;
        EXPECT_EQ(canvas.Pixel(x + w - 2, y), light) << "top edge";
        EXPECT_EQ(canvas.Pixel(x, y + h - 2), light) << "left edge";
        EXPECT_EQ(canvas.Pixel(x + w - 1, y), dark) << "top-right corner";
        EXPECT_EQ(canvas.Pixel(x, y + h - 1), dark) << "bottom-left corner";
        EXPECT_EQ(canvas.Pixel(x + w - 1, y + h - 1), dark) << "bottom-right corner";
        EXPECT_EQ(canvas.Pixel(x + w - 2, y + h - 2), background) << "inside";
        EXPECT_EQ(canvas.Pixel(x + 1, y + 1), background) << "inside";
    }
    void ExpectRaisedBox(int x, int y, int w, int h, Color background) const {
        ExpectBox(x, y, w, h, background, 47);
    }
    void ExpectFlatBox(int x, int y, int w, int h, Color background) const {
        ExpectBox(x, y, w, h, background, 8);
    }

    // The events queued for the slot's plug-in, as packed cells, in order.
    std::vector<EventCell> QueuedEvents(int slot) const {
        std::vector<EventCell> out;
        const SlotEventList& list = engine->eventLists[slot];
        for (int i = 0; i < list.numEvents; ++i) {
            const char* d = list.storage[i].midiData;
            out.push_back({uint8_t(d[0]), uint8_t(d[1]), uint8_t(d[2]), uint8_t(d[3])});
        }
        return out;
    }
    void DropQueuedEvents() {
        for (auto& list : engine->eventLists) {
            list.numEvents = 0;
        }
    }
};

} // namespace test
} // namespace vantreel
