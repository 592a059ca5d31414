#pragma once
// Feedback comb with a one-pole low-pass in the loop (the damping). Its sample
// memory belongs to the reverb model that owns it.

#include "effects/Denormal.h"

namespace vantreel {

class CombFilter {
  public:
    void SetBuffer(float* memory, int size) {
        buffer = memory;
        bufferSize = size;
    }
    void SetFeedback(float value) { feedback = value; }
    void SetDamp(float value) {
        damp1 = value;
        damp2 = 1.0f - value;
    }
    float Feedback() const { return feedback; }
    float Damp() const { return damp1; }

    float Process(float input) {
        const float output = FlushDenormal(buffer[index]);
        filterstore = FlushDenormal(output * damp2 + filterstore * damp1);
        buffer[index] = input + filterstore * feedback;
        if (++index >= bufferSize) {
            index = 0;
        }
        return output;
    }

  private:
    float feedback = 0.0f;
    float filterstore = 0.0f;
    float damp1 = 0.0f;
    float damp2 = 0.0f;
    float* buffer = nullptr;
    int bufferSize = 0;
    int index = 0;
};

} // namespace vantreel
