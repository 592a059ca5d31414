#pragma once
// The undo and redo lists of the song's changes. Each command records the one step
// it made, after making it; Undo puts the song back as it was before the newest step
// and Redo makes it again, both putting the cursor back where the change was made.
// A new step cuts the redo list. The steps hold differences only, and together at
// most kUndoByteLimit bytes: the oldest go first. Every recorded step, undo and redo
// marks the engine's modified flag.
//
// A step of more than one cell, entry or record is put back under the engine lock so
// no block plays it half done; a single cell or setting is one atomic store.
//
// Threads: the user-interface thread only; nothing of it runs on the audio thread.

#include "editors/EditStep.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

namespace vantreel {

class AudioEngine;

constexpr std::size_t kUndoByteLimit = std::size_t(64) << 20;

// The editors' cursor now.
EditPlace CurrentEditPlace(const AudioEngine& engine);

class UndoHistory {
public:
    explicit UndoHistory(AudioEngine& engine, std::size_t byteLimit = kUndoByteLimit);

    // Keeps a change already made. An empty step is dropped. A step larger than the
    // whole bound cannot be kept; since the steps before it could no longer be put
    // back consistently across it, the history is emptied and false returned.
    // With `keepOpen` the step stays open for the same control's next change.
    bool Record(EditStep step, bool keepOpen = false);
    // The newest step while a continuing change may still extend it, else null. Who
    // extends it calls Extended() after changing its "after" values.
    EditStep* OpenStep();
    void Extended();

    // A setting moved to `value` from a control. While `continuing` (a slider held
    // down) it extends the open step of the same setting, so one drag is one step;
    // otherwise, or for another setting, it starts a new one. Nothing is recorded
    // when the value stays.
    void ChangeSetting(SongSetting setting, int slot, int32_t value, bool continuing);
    // The drag is over: the next change of the same setting is a step of its own.
    void EndCoalescing();

    bool CanUndo() const { return !undoSteps.empty(); }
    bool CanRedo() const { return !redoSteps.empty(); }
    // "Undo: Block paste" for the status line; "" when there was nothing to undo.
    std::string Undo();
    std::string Redo(); // "Redo: Block paste", or ""
    // New and Open: nothing before them can be undone.
    void Clear();

    std::size_t UndoCount() const { return undoSteps.size(); }
    std::size_t RedoCount() const { return redoSteps.size(); }
    std::size_t Bytes() const { return bytes; }
    std::size_t ByteLimit() const { return byteLimit; }
    // The name of the step Undo would take back; "" when none.
    std::string NextUndoName() const;

    // Called whenever what can be undone or redone may have changed (the window
    // enables its Undo and Redo commands by it). Empty until set.
    std::function<void()> changed;

private:
    void DropOldest();
    void Changed();

    AudioEngine& engine;
    const std::size_t byteLimit;
    std::deque<EditStep> undoSteps; // oldest first
    std::deque<EditStep> redoSteps; // the next to redo last
    std::size_t bytes = 0;
};

} // namespace vantreel
