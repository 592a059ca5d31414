#pragma once
// The engine's block and buffer sizes and its send numbering.

#include "effects/DenormalFill.h"
#include "effects/ParameterUnit.h"

namespace vantreel {

constexpr int kBlockFrames = 256;     // frames rendered per block
constexpr int kBlocksPerCallback = 8; // blocks per stream callback
constexpr int kCallbackFrames = kBlockFrames * kBlocksPerCallback;
constexpr int kSendCount = 3; // 0 delay, 1 reverb, 2 chorus
constexpr int kSendDelay = 0;
constexpr int kSendReverb = 1;
constexpr int kSendChorus = 2;
constexpr int kMaxSample = 32767;

} // namespace vantreel
