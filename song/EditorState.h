#pragma once
// The editors' cursor, view, block, clipboard and mode fields. Never saved.
// The audio thread (slave cursor), MIDI input and plug-ins read or write some of
// them without the lock, so the scalars are atomics.

#include "song/Pattern.h"

#include <atomic>
#include <cstdint>

namespace vantreel {

using SharedInt = std::atomic<int32_t>;

struct EditorState {
    SharedInt currentSlot{0};
    SharedInt currentParameter{0};
    SharedInt currentPattern{0};
    SharedInt cursorTrack{0};
    SharedInt cursorLine{0};
    SharedInt patternScrollLine{0};
    SharedInt octave{4};
    SharedInt cursorColumn{0}; // 0 the note, 1..8 the hexadecimal digits
    Pattern clipboardPattern;
    SharedInt blockFirstTrack{0};
    SharedInt blockLastTrack{0};
    SharedInt blockFirstLine{0};
    SharedInt blockLastLine{0};
    SharedInt clipOriginTrack{0};
    SharedInt clipOriginLine{0};
    SharedInt clipWidth{0};
    SharedInt clipHeight{0};
    SharedInt slaveCursor{1};
    SharedInt seqCursorLine{0};
    SharedInt seqScrollLine{0};
    SharedInt seqStep{16};
    SharedInt patternFocus{1};
    SharedInt midiChannel{0};
    SharedInt editMode{0};

    EditorState();
};

} // namespace vantreel
