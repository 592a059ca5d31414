#pragma once
// Stereo chorus: two lines read behind their write positions at a distance swept by
// one sine LFO, added on the left and subtracted on the right. Purely wet. Audio
// thread only.
//
// A constant input that the lines already hold throughout (an unused send) is passed
// through as that value, with only the LFO moving on: the same samples, without the
// arithmetic.

#include "effects/ChorusLine.h"
#include "effects/EffectDefaults.h"
#include "effects/EffectRanges.h"

namespace vantreel {

struct ChorusSettings {
    int lfoSpeed = ChorusDefaults::lfoSpeed;       // 0..kMaxLfoSpeed
    int chorusDelay = ChorusDefaults::delay;       // 0..kMaxChorusDelay
    int chorusMod = ChorusDefaults::mod;           // 0..128
    int chorusFeedback = ChorusDefaults::feedback; // 0..128, 128 = 1.0
};

constexpr double kChorusDelayScale = 0.8;
constexpr double kChorusDelayOffset = 4.0; // samples
constexpr double kChorusLfoScale = 2.5e-6; // radians per sample per unit of lfoSpeed

// The read distances of one block: the base delay and the sweep's amplitude.
struct ChorusSweep {
    double base;
    double depth;
};

class Chorus {
public:
    // Processes `frames` samples of both buffers in place.
    void Process(float* left, float* right, int frames, const ChorusSettings& settings);

    // The sweep for a setting, kept inside the line: where the deepest reading would
    // fall beyond it, the depth shrinks until it fits, so the sweep stays a sine.
    // Settings that fit are returned unchanged.
    static ChorusSweep Sweep(const ChorusSettings& settings);

    double LfoPhase() const { return lfoPhase; }

    // Whether a steady block may take the shortcut (on at first). Off only to check
    // the shortcut against the full arithmetic. Audio thread.
    void SetResting(bool on) { resting = on; }
    // Blocks given the shortcut so far.
    long RestedBlocks() const { return restedBlocks; }

private:
    // The shortcut for a constant input the lines already hold; false when it does not
    // apply and the block must be processed.
    bool ProcessSteady(float* left, float* right, int frames, double inc, double fb);
    void AdvancePhase(double inc);

    bool resting = true;
    long restedBlocks = 0;
    double lfoPhase = 0.0; // radians
    ChorusLine leftLine;
    ChorusLine rightLine;
};

} // namespace vantreel
