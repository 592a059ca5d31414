#pragma once
// Linear ADSR amplitude envelope. Linear segments make the release end at an exact,
// known sample, after which the voice is free and silent.

namespace vantreel::synth {

// Segment rates in level per sample, worked out once per block from the parameters.
struct EnvelopeRates {
    float attackStep = 1.0f;
    float decayStep = 1.0f;
    float sustainLevel = 1.0f;
    float releaseSamples = 1.0f;
};

class Envelope {
public:
    void Start();
    // Begins the release from wherever the envelope stands.
    void Release(const EnvelopeRates& rates);
    void Stop();
    float Next(const EnvelopeRates& rates);
    bool IsIdle() const { return stage == Stage::Idle; }
    bool IsReleasing() const { return stage == Stage::Release; }
    float Level() const { return level; }

private:
    enum class Stage { Idle, Attack, Decay, Sustain, Release };
    Stage stage = Stage::Idle;
    float level = 0.0f;
    float releaseStep = 0.0f;
};

} // namespace vantreel::synth
