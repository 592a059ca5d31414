#pragma once
// The editors' cursor, view, block, clipboard and mode fields. Never saved.
// The audio thread (slave cursor), MIDI input and plug-ins read or write some of
// them without the lock, so the scalars are atomics.

#include "song/Pattern.h"
#include "song/Shared.h"

#include <cstdint>

namespace vantreel {

struct EditorState {
    Shared<int32_t> currentSlot{0};
    Shared<int32_t> currentParameter{0};
    Shared<int32_t> currentPattern{0};
    Shared<int32_t> cursorTrack{0};
    Shared<int32_t> cursorLine{0};
    Shared<int32_t> patternScrollLine{0};
    Shared<int32_t> octave{4};
    Shared<int32_t> cursorColumn{0}; // 0 the note, 1..8 the hexadecimal digits
    Pattern clipboardPattern;
    Shared<int32_t> blockFirstTrack{0};
    Shared<int32_t> blockLastTrack{0};
    Shared<int32_t> blockFirstLine{0};
    Shared<int32_t> blockLastLine{0};
    Shared<int32_t> clipOriginTrack{0};
    Shared<int32_t> clipOriginLine{0};
    Shared<int32_t> clipWidth{0};
    Shared<int32_t> clipHeight{0};
    Shared<int32_t> slaveCursor{1};
    Shared<int32_t> seqCursorLine{0};
    Shared<int32_t> seqScrollLine{0};
    Shared<int32_t> seqStep{16};
    Shared<int32_t> patternFocus{1};
    Shared<int32_t> midiChannel{0};
    Shared<int32_t> editMode{0};

    EditorState();
};

} // namespace vantreel
