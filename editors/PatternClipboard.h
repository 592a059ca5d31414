#pragma once
// The block, pattern and track commands: cut, copy and paste through the one
// clipboard pattern of the editor state, with the block corners that Block start and
// Block end set. They work on all 256 stored lines of the current pattern, whatever
// its length. Block commands act only while the pattern editor has the focus, but
// still report.
//
// Threads: the user-interface thread only. A command that changes the current
// pattern holds the engine lock while it does, so the player never reads a pattern
// that is half cut or half pasted.

namespace vantreel {

class AudioEngine;
class UndoHistory;

// What a command asks of the window: a repaint, and a text for the status line.
struct ClipboardOutcome {
    bool repaint = false;
    const char* status = "";
};

class PatternClipboard {
public:
    explicit PatternClipboard(AudioEngine& engine);

    ClipboardOutcome BlockCut();
    ClipboardOutcome BlockCopy();
    ClipboardOutcome BlockPaste();
    ClipboardOutcome PatternCut();
    ClipboardOutcome PatternCopy();
    ClipboardOutcome PatternPaste();
    ClipboardOutcome TrackCut();
    ClipboardOutcome TrackCopy();
    ClipboardOutcome TrackPaste();

    // Where cuts and pastes are recorded; none, and nothing is, until it is set.
    UndoHistory* history = nullptr;

private:
    bool PatternFocused() const;
    // Copies the current pattern and the block's geometry; false for an empty block.
    bool CopyBlock();
    void ClearBlock();
    void CopyTrack();

    AudioEngine& engine;
};

} // namespace vantreel
