#pragma once
// Draws the pattern editor: its title, the column headers and the 32 pattern rows,
// scrolling the view to follow the cursor first.
// Threads: user-interface thread; it reads cells without the lock.

#include "editors/Canvas.h"

namespace vantreel {

class AudioEngine;

// Stores the scroll line that keeps the cursor line among the 32 shown rows.
void FollowPatternCursor(AudioEngine& engine);
void PaintPatternEditor(const AudioEngine& engine, Canvas& canvas, int width);

} // namespace vantreel
