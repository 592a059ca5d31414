#include "editors/ArrangementPainter.h"

#include "editors/BoxPainter.h"
#include "editors/EditorColors.h"
#include "editors/EditorLayout.h"
#include "editors/EditorStateAccess.h"

#include <cstdio>

namespace vantreel {

namespace {

using namespace layout;

constexpr int kEntryTextSize = 16;
constexpr int kMarkerHeight = 2;

int SlotX(int slot) {
    return kGridX + kSlotColumnWidth * slot;
}

void PaintHeader(const AudioEngine& engine, Canvas& canvas, int width, int currentSlot) {
    DrawRaisedBox(canvas, kLineNumberX, kArrangementHeaderY, kLineNumberWidth, kRowHeight, "Line",
                  colors::kText, colors::kTitle);
    for (int i = 0; i < kSlotCount; ++i) {
        char name[kTextSize] = {};
        if (engine.song.slots[i].IsInstanced()) {
            engine.GetSlotName(i, name);
        }
        char text[kEntryTextSize];
        std::snprintf(text, sizeof text, "%.2d:%.4s", i, name);
        const bool current = i == currentSlot;
        DrawRaisedBox(canvas, SlotX(i), kArrangementHeaderY, kSlotColumnWidth, kRowHeight, text,
                      current ? colors::kCurrentSlotText : colors::kText,
                      current ? colors::kCurrentSlotHeader : colors::kHeader);
    }
    DrawRaisedBox(canvas, kRightEdgeX, kArrangementHeaderY, width - kRightEdgeX, kRowHeight, {},
                  colors::kText, colors::kHeader);
}

// Codes 26..253 never come from the editor; a damaged file may hold them, and they
// are shown by number so that no pattern name outside the bank is read.
void EntryText(const AudioEngine& engine, ArrangementEntry entry, int slot,
               char text[kEntryTextSize]) {
    const int code = entry.patternCode;
    if (code == kPatternCodeEmpty) {
        text[0] = '\0';
    } else if (code == kPatternCodeBreak) {
        std::snprintf(text, kEntryTextSize, "break");
    } else if (entry.aux == 0 && code < kPatternsPerSlot) {
        std::snprintf(text, kEntryTextSize, "%c:%.5s", 'A' + code,
                      engine.song.slots[slot].patterns[code].name);
    } else {
        std::snprintf(text, kEntryTextSize, "%.2d(%d)", code, entry.aux);
    }
}

Shade RowShade(const AudioEngine& engine, int line, int q) {
    int v = 0;
    for (int beat : {4, 8, 16}) {
        if (q % beat == 0) {
            v += colors::kBeatShade;
        }
    }
    Shade shade = Shade::Gray(v);
    if (line == engine.editor.seqCursorLine) {
        shade = shade + colors::kCursorLineShade;
    }
    if (engine.song.settings.loopStart <= line && line < engine.song.settings.songEnd) {
        shade = shade + colors::kBlockShade;
    }
    return shade;
}

void PaintRow(const AudioEngine& engine, Canvas& canvas, int width, int currentSlot, int line,
              int y) {
    const int step = SeqStep(engine);
    const int q = line / step;
    const Shade shade = RowShade(engine, line, q);

    char number[12];
    std::snprintf(number, sizeof number, "%.6d", line);
    DrawRaisedBox(canvas, kLineNumberX, y, kLineNumberWidth, kRowHeight, number, colors::kText,
                  colors::kLineNumber + shade);

    const bool inArrangement = line >= 0 && line < kArrangementLines;
    for (int j = 0; j < kSlotCount; ++j) {
        char text[kEntryTextSize] = {};
        if (inArrangement) {
            EntryText(engine, engine.song.arrangement.Get(line, j), j, text);
        }
        const Shade entryShade = j == currentSlot ? shade + colors::kCurrentSlotShade : shade;
        DrawFlatBox(canvas, SlotX(j), y, kSlotColumnWidth, kRowHeight, text, colors::kText,
                    colors::kCell + entryShade);
        if (j == currentSlot && line == engine.editor.seqCursorLine) {
            canvas.InvertRect(SlotX(j), y, kSlotColumnWidth, kRowHeight);
        }
    }
    DrawRaisedBox(canvas, kRightEdgeX, y, width - kRightEdgeX, kRowHeight, {}, colors::kText,
                  colors::kEmpty);

    // The song position, drawn whatever the play mode: a band inside the row at the
    // position's share of the row's lines.
    const int start = q * step;
    const int position = engine.songPosition;
    if (start <= position && position < start + step) {
        const int d = ((position % step) * kRowHeight) / step;
        canvas.InvertRect(kGridX, y + d - 1, width - kGridX, kMarkerHeight);
    }
}

} // namespace

void PaintArrangement(const AudioEngine& engine, Canvas& canvas, int width) {
    DrawRaisedBox(canvas, kStripWidth, kArrangementTitleY, width - kStripWidth, kRowHeight,
                  "Song arrangement", colors::kText, colors::kTitle);
    const int currentSlot = CurrentSlotIndex(engine);
    PaintHeader(engine, canvas, width, currentSlot);
    const int step = SeqStep(engine);
    const int scroll = engine.editor.seqScrollLine;
    for (int r = 0; r < kArrangementRows; ++r) {
        PaintRow(engine, canvas, width, currentSlot, scroll + r * step,
                 kArrangementRowsY + kRowHeight * r);
    }
}

} // namespace vantreel
