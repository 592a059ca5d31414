#pragma once
// Schroeder allpass: diffuses the comb outputs without colouring their spectrum.
// Its sample memory belongs to the reverb model that owns it.

#include "effects/Denormal.h"

namespace vantreel {

class AllpassFilter {
  public:
    void SetBuffer(float* memory, int size) {
        buffer = memory;
        bufferSize = size;
    }
    void SetFeedback(float value) { feedback = value; }

    float Process(float input) {
        const float bufout = FlushDenormal(buffer[index]);
        buffer[index] = input + bufout * feedback;
        if (++index >= bufferSize) {
            index = 0;
        }
        return bufout - input;
    }

  private:
    float feedback = 0.0f;
    float* buffer = nullptr;
    int bufferSize = 0;
    int index = 0;
};

} // namespace vantreel
