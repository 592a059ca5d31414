#pragma once
// One band-limited oscillator: a phase in cycles and the wave shapes read from it.

namespace vantreel::synth {

enum class Waveform { Saw, Square, Sine };

class Oscillator {
public:
    void Reset() { phase = 0.0; }
    // The next sample, -1..1, advancing by `increment` cycles per sample (below 0.5).
    float Next(Waveform shape, double increment);

private:
    double phase = 0.0;
};

} // namespace vantreel::synth
