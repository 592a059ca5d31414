#pragma once
// The engine's block and buffer sizes and its send numbering.

#include "effects/DenormalFill.h"
#include "effects/ParameterUnit.h"

namespace vantreel {

constexpr int kBlockFrames = 256;     // frames rendered per block
constexpr int kOutputChannels = 2;    // the output is interleaved stereo
constexpr int kBlocksPerCallback = 8; // blocks per stream callback
constexpr int kCallbackFrames = kBlockFrames * kBlocksPerCallback;
constexpr int kSendCount = 3; // 0 delay, 1 reverb, 2 chorus
constexpr int kSendDelay = 0;
constexpr int kSendReverb = 1;
constexpr int kSendChorus = 2;
constexpr int kMaxSample = 32767;

// Device buffers the audio setup offers, in frames. The default keeps the stream as it
// always was: eight blocks per callback.
constexpr int kDeviceBufferSizes[] = {128, 256, 512, 1024, 2048};
constexpr int kDefaultDeviceFrames = kCallbackFrames;
// The real-time callback waits for the lock at most this share of its buffer's time.
constexpr int kLockWaitDivisor = 4;
// The CPU meter shows the worst callback of a window of this length.
constexpr double kMeterWindowSeconds = 0.05;

} // namespace vantreel
