#pragma once
// Stereo feedback delay with independent times and feedback per side, and a cross
// mode in which the two lines form a ping-pong loop. Purely wet: it replaces its
// input with the echoes. Audio thread only.
//
// A constant input that the lines already hold throughout (an unused send) gives that
// value straight back: the same samples, without the arithmetic.

#include "effects/EffectDefaults.h"
#include "effects/EffectRanges.h"
#include "effects/SteadyRun.h"

#include <array>

namespace vantreel {

struct DelaySettings {
    int delayLeft = DelayDefaults::time; // samples, 0..kDelayLineLength
    int delayRight = DelayDefaults::time;
    int feedbackLeft = DelayDefaults::feedback; // 0..128, 128 = 1.0
    int feedbackRight = DelayDefaults::feedback;
    bool crossDelay = DelayDefaults::crossDelay;
};

class StereoDelay {
public:
    // Processes `frames` samples of both buffers in place.
    void Process(float* left, float* right, int frames, const DelaySettings& settings);

    // Whether a steady block may take the shortcut (on at first). Off only to check
    // the shortcut against the full arithmetic. Audio thread.
    void SetResting(bool on) { resting = on; }
    // Blocks given the shortcut so far.
    long RestedBlocks() const { return restedBlocks; }

private:
    // The shortcut for a constant input the lines already hold; false when it does not
    // apply and the block must be processed.
    bool ProcessSteady(float* left, float* right, int frames, float fL, float fR, bool cross);
    void NoteWritten(int start, int frames);

    bool resting = true;
    long restedBlocks = 0;
    int writePosition = 0;
    std::array<float, kDelayLineLength> leftLine{};
    std::array<float, kDelayLineLength> rightLine{};
    SteadyRun leftSteady{kDelayLineLength};
    SteadyRun rightSteady{kDelayLineLength};
};

} // namespace vantreel
