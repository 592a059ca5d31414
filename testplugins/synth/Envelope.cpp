#include "testplugins/synth/Envelope.h"

#include <algorithm>

namespace vantreel::synth {

void Envelope::Start() {
    // A retriggered voice keeps its level so a stolen voice does not click to zero.
    stage = Stage::Attack;
}

void Envelope::Release(const EnvelopeRates& rates) {
    if (stage == Stage::Idle) {
        return;
    }
    stage = Stage::Release;
    releaseStep = level / std::max(rates.releaseSamples, 1.0f);
}

void Envelope::Stop() {
    stage = Stage::Idle;
    level = 0.0f;
}

float Envelope::Next(const EnvelopeRates& rates) {
    switch (stage) {
    case Stage::Idle:
        return 0.0f;
    case Stage::Attack:
        level += rates.attackStep;
        if (level >= 1.0f) {
            level = 1.0f;
            stage = Stage::Decay;
        }
        break;
    case Stage::Decay:
        level -= rates.decayStep;
        if (level <= rates.sustainLevel) {
            level = rates.sustainLevel;
            stage = Stage::Sustain;
        }
        break;
    case Stage::Sustain:
        // Follows the sustain parameter while held.
        level = rates.sustainLevel;
        break;
    case Stage::Release:
        level -= releaseStep;
        break;
    }
    if (level <= 0.0f && stage != Stage::Attack) {
        // Silent with nothing to come back: a release done, or a zero sustain reached.
        Stop();
    }
    return level;
}

} // namespace vantreel::synth
