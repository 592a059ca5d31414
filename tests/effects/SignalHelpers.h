#pragma once
// Signals and measurements shared by the effect tests.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace vantreel::test {

inline std::vector<float> Sine(double frequency, double sampleRate, float amplitude, int frames) {
    std::vector<float> out(frames);
    for (int i = 0; i < frames; ++i) {
        out[i] = amplitude *
                 static_cast<float>(std::sin(2 * std::numbers::pi * frequency * i / sampleRate));
    }
    return out;
}

inline double Rms(const std::vector<float>& samples, int from, int to) {
    double sum = 0;
    for (int i = from; i < to; ++i) {
        sum += double(samples[i]) * samples[i];
    }
    return std::sqrt(sum / (to - from));
}

inline double Decibels(double ratio) {
    return 20 * std::log10(ratio);
}

// A reproducible noise source, -1..1, the same on every platform.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    float Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(int32_t(state >> 8) - (1 << 23)) / float(1 << 23);
    }

private:
    uint32_t state;
};

// Runs `process(left, right, frames)` over whole signals in blocks of `block` frames.
template <typename Process>
void InBlocks(std::vector<float>& left, std::vector<float>& right, int block, Process process) {
    for (size_t start = 0; start < left.size(); start += block) {
        const int frames = static_cast<int>(std::min<size_t>(block, left.size() - start));
        process(left.data() + start, right.data() + start, frames);
    }
}

} // namespace vantreel::test
