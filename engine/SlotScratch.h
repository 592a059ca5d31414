#pragma once
// What one render thread needs of its own to run a slot's plug-in: the channel
// pointer arrays and the buffers behind channels 3 and up. Each thread has one, so
// slots rendered at the same time never share a buffer.

#include "engine/AudioConstants.h"
#include "plugins/PluginCalls.h"

namespace vantreel {

struct SlotScratch {
    // Inputs 3 and up read silence; outputs 3 and up are written to scratch nobody
    // reads, so one plug-in's auxiliary outputs never reach another's inputs.
    float silent[kBlockFrames] = {};
    float aux[plugin::kMaxPluginChannels - 2][kBlockFrames] = {};
    float* inputs[plugin::kMaxPluginChannels] = {};
    float* outputs[plugin::kMaxPluginChannels] = {};
};

} // namespace vantreel
