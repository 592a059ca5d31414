#pragma once
// Draws the whole editor view from the engine's state: the arrangement area, the
// focus strip, the pattern editor and the status line. The window calls Paint from
// its paint handler with a Canvas over its client area; every paint redraws all.
// Painting also stores the pattern scroll line that follows the cursor.
//
// Threads: the user-interface thread. It reads the song and the play position while
// the audio thread changes them, without the lock: each value is read whole.

#include "editors/Canvas.h"

namespace vantreel {

class AudioEngine;

class EditorPainter {
public:
    explicit EditorPainter(AudioEngine& engine);

    void Paint(Canvas& canvas, int width, int height);

    // Appends "      MIDI IN RUNNING" to the status line while set (at least one
    // MIDI input device is open).
    bool midiInputRunning = false;

private:
    AudioEngine& engine;
};

} // namespace vantreel
