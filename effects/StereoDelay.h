#pragma once
// Stereo feedback delay with independent times and feedback per side, and a cross
// mode in which the two lines form a ping-pong loop. Purely wet: it replaces its
// input with the echoes. Audio thread only.

#include <array>

namespace vantreel {

struct DelaySettings {
    int delayLeft = 15840; // samples, 0..kDelayLineLength
    int delayRight = 15840;
    int feedbackLeft = 70; // 0..128, 128 = 1.0
    int feedbackRight = 70;
    bool crossDelay = true;
};

// The line holds one second at 44100 Hz whatever the sample rate.
constexpr int kDelayLineLength = 44100;

class StereoDelay {
public:
    // Processes `frames` samples of both buffers in place.
    void Process(float* left, float* right, int frames, const DelaySettings& settings);

    float LastLeft() const { return lastLeft; }
    float LastRight() const { return lastRight; }

private:
    int writePosition = 0;
    float lastLeft = 0.0f;
    float lastRight = 0.0f;
    std::array<float, kDelayLineLength> leftLine{};
    std::array<float, kDelayLineLength> rightLine{};
};

} // namespace vantreel
