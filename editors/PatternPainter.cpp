#include "editors/PatternPainter.h"

#include "editors/BoxPainter.h"
#include "editors/CellText.h"
#include "editors/EditorColors.h"
#include "editors/EditorLayout.h"
#include "editors/EditorStateAccess.h"

#include <cstdio>
#include <cstring>

namespace vantreel {

namespace {

using namespace layout;

struct CursorColumnRange {
    int begin;
    int end; // exclusive
};

// The part of a cell that is inverted for each cursor column, from the cell's left edge.
constexpr CursorColumnRange kCursorColumns[] = {
    {0, 26}, {27, 33}, {33, 39}, {45, 51}, {51, 57}, {63, 69}, {69, 75}, {81, 87}, {87, 93},
};
constexpr int kCursorColumnCount = sizeof kCursorColumns / sizeof kCursorColumns[0];

int TrackX(int track) {
    return kGridX + kTrackWidth * track;
}

void PaintTitle(const AudioEngine& engine, Canvas& canvas, int width) {
    const Pattern& pattern = ShownPattern(engine);
    const int patternIndex = CurrentPatternIndex(engine);
    char slotName[kTextSize];
    engine.GetSlotName(CurrentSlotIndex(engine), slotName);
    char text[320];
    std::snprintf(text, sizeof text,
                  "Pattern editor      VST: %s      Midi Ch.: %.2d      Octave: %.2d      "
                  "Index: %c (%.2d)      Length: %.3d      Name: %.*s",
                  slotName, engine.editor.midiChannel + 1, int(engine.editor.octave),
                  'A' + patternIndex, patternIndex, int(pattern.Length()),
                  int(strnlen(pattern.name, kTextSize)), pattern.name);
    DrawRaisedBox(canvas, kStripWidth, kPatternTitleY, width - kStripWidth, kRowHeight, text,
                  colors::kText, colors::kTitle);
}

void PaintHeaders(Canvas& canvas, int width) {
    DrawRaisedBox(canvas, kLineNumberX, kTrackHeaderY, kLineNumberWidth, kRowHeight, "Track",
                  colors::kText, colors::kHeader);
    DrawRaisedBox(canvas, kLineNumberX, kColumnTitleY, kLineNumberWidth, kRowHeight, "Line",
                  colors::kText, colors::kTitle);
    for (int t = 0; t < kTracks; ++t) {
        char number[4];
        std::snprintf(number, sizeof number, "%.2d", t);
        DrawRaisedBox(canvas, TrackX(t), kTrackHeaderY, kTrackWidth, kRowHeight, number,
                      colors::kText, colors::kHeader);
        DrawRaisedBox(canvas, TrackX(t), kColumnTitleY, kTrackWidth, kRowHeight, "CMD MS P0 P1 RS",
                      colors::kText, colors::kColumnTitle);
    }
    DrawRaisedBox(canvas, kRightEdgeX, kTrackHeaderY, width - kRightEdgeX, 2 * kRowHeight, {},
                  colors::kText, colors::kHeader);
}

// Lighter every 4, 8 and 16 lines; darker on the line being played.
Shade LineShade(int line, int playLine) {
    int v = 0;
    for (int beat : {4, 8, 16}) {
        if (line % beat == 0) {
            v += colors::kBeatShade;
        }
    }
    Shade shade = Shade::Gray(v);
    if (line == playLine) {
        shade = shade + colors::kPlayLineShade;
    }
    return shade;
}

struct RowView {
    int cursorLine;
    int cursorTrack;
    int cursorColumn;
    int playLine;
    int blockFirstTrack, blockLastTrack, blockFirstLine, blockLastLine;

    bool InBlock(int line, int track) const {
        return blockFirstLine <= line && line <= blockLastLine && blockFirstTrack <= track &&
               track <= blockLastTrack;
    }
};

void PaintRow(const Pattern& pattern, const RowView& view, Canvas& canvas, int width, int line,
              int y) {
    const Shade shade = LineShade(line, view.playLine);
    const bool atCursor = line == view.cursorLine;

    char number[12];
    std::snprintf(number, sizeof number, "%.6d", line);
    const Color numberBase = atCursor ? colors::kLineNumberAtCursor : colors::kLineNumber;
    DrawRaisedBox(canvas, kLineNumberX, y, kLineNumberWidth, kRowHeight, number, colors::kText,
                  numberBase + shade);

    for (int t = 0; t < kTracks; ++t) {
        Shade cellShade = shade;
        if (atCursor) {
            cellShade = cellShade + colors::kCursorLineShade;
        }
        if (view.InBlock(line, t)) {
            cellShade = cellShade + colors::kBlockShade;
        }
        char text[kCellTextSize];
        CellText(pattern.Cell(line, t), text);
        const int x = TrackX(t);
        DrawFlatBox(canvas, x, y, kTrackWidth, kRowHeight, text, colors::kText,
                    colors::kCell + cellShade);
        if (atCursor && t == view.cursorTrack && view.cursorColumn >= 0 &&
            view.cursorColumn < kCursorColumnCount) {
            const CursorColumnRange range = kCursorColumns[view.cursorColumn];
            canvas.InvertRect(x + range.begin, y, range.end - range.begin, kRowHeight);
        }
    }
    DrawRaisedBox(canvas, kRightEdgeX, y, width - kRightEdgeX, kRowHeight, {}, colors::kText,
                  colors::kEmpty);
}

} // namespace

void FollowPatternCursor(AudioEngine& engine) {
    const int cursor = engine.editor.cursorLine;
    int scroll = engine.editor.patternScrollLine;
    if (cursor > scroll + kPatternRows - 1) {
        scroll = cursor - (kPatternRows - 1);
    }
    if (cursor < scroll) {
        scroll = cursor;
    }
    engine.editor.patternScrollLine = std::max(scroll, 0);
}

void PaintPatternEditor(const AudioEngine& engine, Canvas& canvas, int width) {
    PaintTitle(engine, canvas, width);
    PaintHeaders(canvas, width);

    const EditorState& e = engine.editor;
    const RowView view{e.cursorLine,       CursorTrackIndex(engine), e.cursorColumn,
                       engine.patternLine, e.blockFirstTrack,        e.blockLastTrack,
                       e.blockFirstLine,   e.blockLastLine};
    const Pattern& pattern = ShownPattern(engine);
    // Rows beyond the stored lines are never read, whatever the length field says.
    const int length = pattern.PlayedLength();
    const int scroll = e.patternScrollLine;
    for (int r = 0; r < kPatternRows; ++r) {
        const int line = scroll + r;
        const int y = kPatternRowsY + kRowHeight * r;
        if (line < 0 || line >= length) {
            DrawRaisedBox(canvas, kStripWidth, y, width - kStripWidth, kRowHeight, {},
                          colors::kText, colors::kEmpty);
        } else {
            PaintRow(pattern, view, canvas, width, line, y);
        }
    }
}

} // namespace vantreel
