#pragma once
// Two-pole low-pass in state-variable form, stable at any cutoff below Nyquist.

namespace vantreel::synth {

// Shared by all voices, worked out once per block from the cutoff.
struct LowPassCoefficients {
    float a1 = 1.0f;
    float a2 = 0.0f;
    float a3 = 0.0f;

    static LowPassCoefficients For(float cutoffHz, float sampleRate);
};

class LowPassFilter {
public:
    void Reset() { state1 = state2 = 0.0f; }
    float Next(float input, const LowPassCoefficients& c);

private:
    float state1 = 0.0f;
    float state2 = 0.0f;
};

} // namespace vantreel::synth
