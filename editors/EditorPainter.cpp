#include "editors/EditorPainter.h"

#include "editors/ArrangementPainter.h"
#include "editors/BoxPainter.h"
#include "editors/EditorColors.h"
#include "editors/EditorLayout.h"
#include "editors/PatternPainter.h"
#include "engine/AudioEngine.h"

#include <cstdio>

namespace vantreel {

namespace {

using namespace layout;

constexpr char kFocusMark[] = ">";
constexpr char kMidiRunning[] = "      MIDI IN RUNNING";

void PaintFocusStrip(const AudioEngine& engine, Canvas& canvas, int height) {
    const bool patternFocused = engine.editor.patternFocus != 0;
    auto strip = [&](int y, int h, bool focused) {
        DrawRaisedBox(canvas, 0, y, kStripWidth, h, focused ? kFocusMark : "", colors::kText,
                      focused ? colors::kTitle : colors::kEmpty);
    };
    strip(0, kArrangementHeight, !patternFocused);
    strip(kArrangementHeight, height - kArrangementHeight, patternFocused);
}

void PaintStatusLine(const AudioEngine& engine, Canvas& canvas, int width, int height,
                     bool midiInputRunning) {
    char text[96];
    int n = 0;
    switch (engine.playMode.load()) {
    case kPlayingPattern:
        n = std::snprintf(text, sizeof text, "Status: Playing pattern   Line: %.3d",
                          int(engine.patternLine));
        break;
    case kPlayingSong: {
        const int seconds = engine.SongTimeSeconds();
        n = std::snprintf(text, sizeof text, "Status: Playing song      Time: %.2d:%.2d",
                          seconds / 60, seconds % 60);
        break;
    }
    default:
        n = std::snprintf(text, sizeof text, "Status: Stopped");
        break;
    }
    if (midiInputRunning && n >= 0 && n < int(sizeof text)) {
        std::snprintf(text + n, sizeof text - n, "%s", kMidiRunning);
    }
    // The box is as wide as the whole view although it starts at the strip; its right
    // edge lies outside the window.
    DrawRaisedBox(canvas, kStripWidth, kStatusY, width, height - kStatusY, text, colors::kText,
                  colors::kEmpty);
}

} // namespace

EditorPainter::EditorPainter(AudioEngine& engine) : engine(engine) {}

void EditorPainter::Paint(Canvas& canvas, int width, int height) {
    FollowPatternCursor(engine);
    PaintArrangement(engine, canvas, width);
    PaintFocusStrip(engine, canvas, height);
    PaintPatternEditor(engine, canvas, width);
    PaintStatusLine(engine, canvas, width, height, midiInputRunning);
}

} // namespace vantreel
