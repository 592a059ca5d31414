#include "effects/StereoDelay.h"

#include "effects/ParameterUnit.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace vantreel {

namespace {

// A damaged project may hold a time beyond the line: read no further back than it.
int ClampDelay(int samples) {
    return std::clamp(samples, 0, kDelayLineLength);
}

// The one expression both lines store, so the steady check computes what a write would.
float Stored(float in, float feedback, float echo) {
    return in + feedback * echo;
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
    if (ProcessSteady(left, right, frames, fL, fR, settings.crossDelay)) {
        return;
    }
    const int start = writePosition;
    for (int i = 0; i < frames; ++i) {
        // A time of 0 or of the full line reads the slot about to be overwritten.
        const int readLeft = ReadPosition(writePosition, delayLeft);
        const int readRight = ReadPosition(writePosition, delayRight);
        const float outL = leftLine[readLeft];
        const float outR = rightLine[readRight];
        if (settings.crossDelay) {
            // The signal enters on the left only and crosses over on every pass.
            leftLine[writePosition] = Stored(left[i], fL, outR);
            rightLine[writePosition] = fR * outL;
        } else {
            leftLine[writePosition] = Stored(left[i], fL, outL);
            rightLine[writePosition] = Stored(right[i], fR, outR);
        }
        if (++writePosition == kDelayLineLength) {
            writePosition = 0;
        }
        left[i] = outL;
        right[i] = outR;
    }
    NoteWritten(start, frames);
}

// An unused send holds its fill value, block after block: once both lines hold what
// that value stores, every echo is that value again, whatever the times.
bool StereoDelay::ProcessSteady(float* left, float* right, int frames, float fL, float fR,
                                bool cross) {
    float inLeft = 0.0f;
    float inRight = 0.0f;
    float lineLeft = 0.0f;
    float lineRight = 0.0f;
    if (!resting || frames <= 0 || frames > kDelayLineLength ||
        !ConstantBlock(left, frames, inLeft) || !leftSteady.Holds(lineLeft) ||
        !rightSteady.Holds(lineRight)) {
        return false;
    }
    float storedLeft = 0.0f;
    float storedRight = 0.0f;
    if (cross) {
        storedLeft = Stored(inLeft, fL, lineRight);
        storedRight = fR * lineLeft;
    } else {
        if (!ConstantBlock(right, frames, inRight)) {
            return false;
        }
        storedLeft = Stored(inLeft, fL, lineLeft);
        storedRight = Stored(inRight, fR, lineRight);
    }
    if (std::bit_cast<uint32_t>(storedLeft) != std::bit_cast<uint32_t>(lineLeft) ||
        std::bit_cast<uint32_t>(storedRight) != std::bit_cast<uint32_t>(lineRight)) {
        return false;
    }
    std::fill(left, left + frames, lineLeft);
    std::fill(right, right + frames, lineRight);
    writePosition = (writePosition + frames) % kDelayLineLength;
    ++restedBlocks;
    return true;
}

void StereoDelay::NoteWritten(int start, int frames) {
    for (int done = 0; done < frames;) {
        const int at = (start + done) % kDelayLineLength;
        const int count = std::min(frames - done, kDelayLineLength - at);
        leftSteady.Note(&leftLine[at], count);
        rightSteady.Note(&rightLine[at], count);
        done += count;
    }
}

} // namespace vantreel
