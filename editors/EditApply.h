#pragma once
// Putting one recorded step's values into the song: its "before" values for undo, its
// "after" values for redo, and the cursor back to where it was made.
//
// Threads: user-interface thread. Takes the engine lock for a step of more than one
// change.

#include "editors/EditStep.h"

namespace vantreel {

class AudioEngine;

enum class EditDirection { Back, Forward };

void ApplyEditStep(AudioEngine& engine, const EditStep& step, EditDirection direction);
void PlaceCursor(AudioEngine& engine, const EditPlace& place);

} // namespace vantreel
