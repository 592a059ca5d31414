#pragma once
// Drives the engine's stream callback as fast as possible into memory, for exports
// and tests. The samples are those a sound card would have received.
//
// Threads: one caller thread, which drives the stream callback (waiting for the lock
// like the audio thread); meant for an engine built with OutputMode::CallerDriven.

#include "engine/AudioEngine.h"

#include <cstdint>

namespace vantreel {

class OfflineRenderer {
public:
    explicit OfflineRenderer(AudioEngine& engine) : engine(engine) {}

    // Renders `frames` interleaved stereo frames into `out`. Any part of a callback
    // buffer not used is kept for the next call, so consecutive calls continue the
    // same stream.
    void Render(int16_t* out, int64_t frames);

private:
    AudioEngine& engine;
    int16_t staging[2 * kCallbackFrames] = {};
    int stagedFrames = 0;
};

} // namespace vantreel
