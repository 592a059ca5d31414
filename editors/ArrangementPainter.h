#pragma once
// Draws the song arrangement area at the top of the editor view: title, slot
// headers, 16 rows of entries with the cursor, the loop range and the song position.
// Threads: user-interface thread; it reads the playing position without the lock.

#include "editors/Canvas.h"

namespace vantreel {

class AudioEngine;

void PaintArrangement(const AudioEngine& engine, Canvas& canvas, int width);

} // namespace vantreel
