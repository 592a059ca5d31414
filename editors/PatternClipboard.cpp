#include "editors/PatternClipboard.h"

#include "editors/EditorStateAccess.h"
#include "editors/PatternEditRecorder.h"
#include "engine/AudioEngine.h"

#include <algorithm>

namespace vantreel {

namespace {

const char* const kBlockCut = "Block cut to clipboard";
const char* const kBlockCopied = "Block copied to clipboard";
const char* const kBlockPasted = "Block pasted from clipboard";
const char* const kPatternCut = "Pattern cut to clipboard";
const char* const kPatternCopied = "Pattern copied to clipboard";
const char* const kPatternPasted = "Pattern pasted from clipboard";
const char* const kTrackCut = "Track cut to clipboard";
const char* const kTrackCopied = "Track copied to clipboard";
const char* const kTrackPasted = "Track pasted from clipboard";

constexpr bool kRepaint = true;
constexpr int kClipboardTrack = 0; // where a track copy lies in the clipboard pattern

bool InRange(int value, int count) {
    return value >= 0 && value < count;
}

// The cells of a block, first corner to last, both inside the pattern.
struct CellRange {
    int firstLine = 0;
    int lastLine = -1;
    int firstTrack = 0;
    int lastTrack = -1;

    bool Empty() const { return firstLine > lastLine || firstTrack > lastTrack; }
};

CellRange MarkedBlock(const EditorState& editor) {
    CellRange block{editor.blockFirstLine, editor.blockLastLine, editor.blockFirstTrack,
                    editor.blockLastTrack};
    // A corner outside the pattern marks nothing (the cursor never puts one there).
    if (!InRange(block.firstLine, kPatternLines) || !InRange(block.lastLine, kPatternLines) ||
        !InRange(block.firstTrack, kTracks) || !InRange(block.lastTrack, kTracks)) {
        return {};
    }
    return block;
}

int CursorLineIndex(const AudioEngine& engine) {
    return std::clamp<int>(engine.editor.cursorLine, 0, kPatternLines - 1);
}

} // namespace

PatternClipboard::PatternClipboard(AudioEngine& engine) : engine(engine) {}

bool PatternClipboard::PatternFocused() const {
    return engine.editor.patternFocus != 0;
}

bool PatternClipboard::CopyBlock() {
    const CellRange block = MarkedBlock(engine.editor);
    if (block.Empty()) {
        return false;
    }
    EditorState& e = engine.editor;
    e.clipboardPattern.CopyFrom(ShownPattern(engine));
    e.clipOriginTrack = block.firstTrack;
    e.clipOriginLine = block.firstLine;
    e.clipWidth = block.lastTrack - block.firstTrack + 1;
    e.clipHeight = block.lastLine - block.firstLine + 1;
    return true;
}

void PatternClipboard::ClearBlock() {
    const CellRange block = MarkedBlock(engine.editor);
    EngineLockGuard guard(engine.lock);
    Pattern& pattern = ShownPattern(engine);
    for (int line = block.firstLine; line <= block.lastLine; ++line) {
        for (int track = block.firstTrack; track <= block.lastTrack; ++track) {
            pattern.SetCell(line, track, {});
        }
    }
}

ClipboardOutcome PatternClipboard::BlockCopy() {
    if (PatternFocused()) {
        CopyBlock();
    }
    return {!kRepaint, kBlockCopied};
}

ClipboardOutcome PatternClipboard::BlockCut() {
    if (PatternFocused() && CopyBlock()) {
        PatternEditRecorder record(engine, history, EditKind::BlockCut);
        ClearBlock();
        record.Commit();
    }
    return {kRepaint, kBlockCut};
}

// Whatever would land beyond the last line or track is dropped; nothing wraps.
ClipboardOutcome PatternClipboard::BlockPaste() {
    if (PatternFocused()) {
        const EditorState& e = engine.editor;
        const Pattern& clip = e.clipboardPattern;
        const int width = e.clipWidth;
        const int height = e.clipHeight;
        const int originTrack = e.clipOriginTrack;
        const int originLine = e.clipOriginLine;
        const int cursorTrack = CursorTrackIndex(engine);
        const int cursorLine = CursorLineIndex(engine);
        EngineLockGuard guard(engine.lock);
        PatternEditRecorder record(engine, history, EditKind::BlockPaste);
        Pattern& pattern = ShownPattern(engine);
        for (int i = 0; i < width; ++i) {
            for (int j = 0; j < height; ++j) {
                const int track = cursorTrack + i;
                const int line = cursorLine + j;
                const int fromTrack = originTrack + i;
                const int fromLine = originLine + j;
                if (InRange(track, kTracks) && InRange(line, kPatternLines) &&
                    InRange(fromTrack, kTracks) && InRange(fromLine, kPatternLines)) {
                    pattern.SetCell(line, track, clip.Cell(fromLine, fromTrack));
                }
            }
        }
        record.Commit();
    }
    return {kRepaint, kBlockPasted};
}

ClipboardOutcome PatternClipboard::PatternCut() {
    engine.editor.clipboardPattern.CopyFrom(ShownPattern(engine));
    {
        EngineLockGuard guard(engine.lock);
        PatternEditRecorder record(engine, history, EditKind::PatternCut);
        Pattern& pattern = ShownPattern(engine);
        for (int line = 0; line < kPatternLines; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                pattern.SetCell(line, track, {});
            }
        }
        record.Commit();
    }
    return {kRepaint, kPatternCut};
}

ClipboardOutcome PatternClipboard::PatternCopy() {
    engine.editor.clipboardPattern.CopyFrom(ShownPattern(engine));
    return {!kRepaint, kPatternCopied};
}

// Name and length come along: a paste before any copy leaves an empty, nameless
// pattern of length 0.
ClipboardOutcome PatternClipboard::PatternPaste() {
    EngineLockGuard guard(engine.lock);
    PatternEditRecorder record(engine, history, EditKind::PatternPaste);
    ShownPattern(engine).CopyFrom(engine.editor.clipboardPattern);
    record.Commit();
    return {kRepaint, kPatternPasted};
}

void PatternClipboard::CopyTrack() {
    const Pattern& pattern = ShownPattern(engine);
    const int track = CursorTrackIndex(engine);
    Pattern& clip = engine.editor.clipboardPattern;
    for (int line = 0; line < kPatternLines; ++line) {
        clip.SetCell(line, kClipboardTrack, pattern.Cell(line, track));
    }
}

ClipboardOutcome PatternClipboard::TrackCopy() {
    CopyTrack();
    return {!kRepaint, kTrackCopied};
}

ClipboardOutcome PatternClipboard::TrackCut() {
    CopyTrack();
    const int track = CursorTrackIndex(engine);
    EngineLockGuard guard(engine.lock);
    PatternEditRecorder record(engine, history, EditKind::TrackCut);
    Pattern& pattern = ShownPattern(engine);
    for (int line = 0; line < kPatternLines; ++line) {
        pattern.SetCell(line, track, {});
    }
    record.Commit();
    return {kRepaint, kTrackCut};
}

ClipboardOutcome PatternClipboard::TrackPaste() {
    const Pattern& clip = engine.editor.clipboardPattern;
    const int track = CursorTrackIndex(engine);
    EngineLockGuard guard(engine.lock);
    PatternEditRecorder record(engine, history, EditKind::TrackPaste);
    Pattern& pattern = ShownPattern(engine);
    for (int line = 0; line < kPatternLines; ++line) {
        pattern.SetCell(line, track, clip.Cell(line, kClipboardTrack));
    }
    record.Commit();
    return {kRepaint, kTrackPasted};
}

} // namespace vantreel
