#include "effects/StereoDelay.h"

#include "effects/ParameterUnit.h"

#include <algorithm>

namespace vantreel {

namespace {

// A damaged project may hold a time beyond the line: read no further back than it.
int ClampDelay(int samples) {
    return std::clamp(samples, 0, kDelayLineLength);
}

int ReadPosition(int writePosition, int delay) {
    const int position = writePosition - delay;
    return position < 0 ? position + kDelayLineLength : position;
}

} // namespace

void StereoDelay::Process(float* left, float* right, int frames, const DelaySettings& settings) {
    const int delayLeft = ClampDelay(settings.delayLeft);
    const int delayRight = ClampDelay(settings.delayRight);
    const float fL = settings.feedbackLeft * kParameterUnit;
    const float fR = settings.feedbackRight * kParameterUnit;
    for (int i = 0; i < frames; ++i) {
        // A time of 0 or of the full line reads the slot about to be overwritten.
        const int readLeft = ReadPosition(writePosition, delayLeft);
        const int readRight = ReadPosition(writePosition, delayRight);
        const float outL = leftLine[readLeft];
        const float outR = rightLine[readRight];
        if (settings.crossDelay) {
            // The signal enters on the left only and crosses over on every pass.
            leftLine[writePosition] = left[i] + fL * outR;
            rightLine[writePosition] = fR * outL;
        } else {
            leftLine[writePosition] = left[i] + fL * outL;
            rightLine[writePosition] = right[i] + fR * outR;
        }
        if (++writePosition == kDelayLineLength) {
            writePosition = 0;
        }
        left[i] = outL;
        right[i] = outR;
    }
}

} // namespace vantreel
