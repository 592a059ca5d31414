#pragma once
// Reads of the editor state that the editors index arrays with. The fields are
// shared with other threads and parts, so every index is held inside its array.

#include "engine/AudioEngine.h"

#include <algorithm>

namespace vantreel {

inline int CurrentSlotIndex(const AudioEngine& engine) {
    return std::clamp<int>(engine.editor.currentSlot, 0, kSlotCount - 1);
}

inline int CurrentPatternIndex(const AudioEngine& engine) {
    return std::clamp<int>(engine.editor.currentPattern, 0, kPatternsPerSlot - 1);
}

inline int CursorTrackIndex(const AudioEngine& engine) {
    return std::clamp<int>(engine.editor.cursorTrack, 0, kTracks - 1);
}

inline const Pattern& ShownPattern(const AudioEngine& engine) {
    return engine.song.slots[CurrentSlotIndex(engine)].patterns[CurrentPatternIndex(engine)];
}

inline Pattern& ShownPattern(AudioEngine& engine) {
    return engine.song.slots[CurrentSlotIndex(engine)].patterns[CurrentPatternIndex(engine)];
}

// Arrangement lines per shown row and per cursor step; never below 1.
inline int SeqStep(const AudioEngine& engine) {
    return std::max<int>(engine.editor.seqStep, 1);
}

} // namespace vantreel
