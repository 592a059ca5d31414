#pragma once
// The pattern cell under the pattern cursor, where MIDI from a keyboard or from a
// plug-in is recorded in edit mode.

#include "song/EditorState.h"
#include "song/EventCell.h"
#include "song/Song.h"

namespace vantreel {

// Stores `cell` at (currentSlot, currentPattern, cursorLine, cursorTrack) with one
// 4-byte store. False, and nothing written, when an index lies outside the song (a
// cursor field written by another part of the program never reaches past a pattern).
// Any thread: each index is read once, and no lock is taken.
bool StoreAtPatternCursor(Song& song, const EditorState& editor, EventCell cell);

} // namespace vantreel
