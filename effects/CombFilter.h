#pragma once
// Feedback comb with a one-pole low-pass in the loop (the damping). Its sample
// memory belongs to the reverb model that owns it.

#include "effects/Denormal.h"

#include <algorithm>

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
    float Damp2() const { return damp2; }
    float FilterStore() const { return filterstore; }
    int Length() const { return bufferSize; }

    float Process(float input) {
        const float output = FlushDenormal(buffer[index]);
        filterstore = FlushDenormal(output * damp2 + filterstore * damp1);
        buffer[index] = input + filterstore * feedback;
        if (++index >= bufferSize) {
            index = 0;
        }
        return output;
    }

    // Block form of Process, for `frames` no longer than the line: every sample the
    // block reads was written before it. Step one: the next `frames` outputs,
    // flushed, without advancing.
    void ReadBlock(float* output, int frames) const {
        const int first = std::min(frames, bufferSize - index);
        for (int i = 0; i < first; ++i) {
            output[i] = FlushDenormal(buffer[index + i]);
        }
        for (int i = first; i < frames; ++i) {
            output[i] = FlushDenormal(buffer[i - first]);
        }
    }
    // Step two, once the caller has run the damping over the block: stores the
    // line's new samples, the last filter state, and advances.
    void WriteBlock(const float* values, int frames, float lastFilterstore) {
        const int first = std::min(frames, bufferSize - index);
        for (int i = 0; i < first; ++i) {
            buffer[index + i] = values[i];
        }
        for (int i = first; i < frames; ++i) {
            buffer[i - first] = values[i];
        }
        index += frames;
        if (index >= bufferSize) {
            index -= bufferSize;
        }
        filterstore = lastFilterstore;
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
