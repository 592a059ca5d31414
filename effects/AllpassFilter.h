#pragma once
// Schroeder allpass: diffuses the comb outputs without colouring their spectrum.
// Its sample memory belongs to the reverb model that owns it.

#include "effects/Denormal.h"

#include <algorithm>

namespace vantreel {

class AllpassFilter {
public:
    void SetBuffer(float* memory, int size) {
        buffer = memory;
        bufferSize = size;
    }
    void SetFeedback(float value) { feedback = value; }
    int Length() const { return bufferSize; }

    float Process(float input) {
        const float bufout = FlushDenormal(buffer[index]);
        buffer[index] = input + bufout * feedback;
        if (++index >= bufferSize) {
            index = 0;
        }
        return bufout - input;
    }

    // Process over `frames` samples in place. With `frames` no longer than the line no
    // sample reads what the same block wrote, so the samples are independent.
    void ProcessBlock(float* samples, int frames) {
        const int first = std::min(frames, bufferSize - index);
        Run(buffer + index, samples, first);
        Run(buffer, samples + first, frames - first);
        index += frames;
        if (index >= bufferSize) {
            index -= bufferSize;
        }
    }

private:
    // `count` samples that meet the line's samples from `line` on.
    void Run(float* line, float* samples, int count) const {
        for (int i = 0; i < count; ++i) {
            const float bufout = FlushDenormal(line[i]);
            line[i] = samples[i] + bufout * feedback;
            samples[i] = bufout - samples[i];
        }
    }

    float feedback = 0.0f;
    float* buffer = nullptr;
    int bufferSize = 0;
    int index = 0;
};

} // namespace vantreel
