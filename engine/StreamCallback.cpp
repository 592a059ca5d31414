// The audio thread's work: one stream buffer of eight blocks, each block rendered by
// the sequencer, the plug-ins, the mix and the master effects.

#include "engine/AudioEngine.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>

namespace vantreel {

int FloorToInt(double x) {
    return static_cast<int>(std::lrint(2.0 * x - 0.5)) >> 1;
}

namespace {

// Scales, floors and clips one master sample. Garbage from a misbehaving plug-in
// (NaN, huge values) must not reach the integer conversion.
int16_t ToOutputSample(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    if (x >= kMaxSample) {
        return kMaxSample;
    }
    if (x <= -kMaxSample) {
        return -kMaxSample;
    }
    int v = FloorToInt(x);
    return static_cast<int16_t>(v < -kMaxSample ? -kMaxSample : v);
}

} // namespace

void AudioEngine::StreamCallback(int16_t* buffer, bool realtime) {
    std::unique_lock<EngineLock> held(lock, std::defer_lock);
    if (realtime) {
        // A blocked callback would make the device underrun: give up this buffer
        // instead, and let the sequencer stand still, as it would while waiting.
        if (!held.try_lock_for(std::chrono::microseconds(kRealtimeLockWaitMicroseconds))) {
            std::memset(buffer, 0, sizeof(int16_t) * 2 * kCallbackFrames);
            return;
        }
    } else {
        held.lock();
    }
    const double volume = song.settings.masterVolume;
    for (int block = 0; block < kBlocksPerCallback; ++block) {
        RenderBlock();
        for (int i = 0; i < kBlockFrames; ++i) {
            *buffer++ = ToOutputSample(mixLeft[i] * volume);
            *buffer++ = ToOutputSample(mixRight[i] * volume);
        }
    }
}

void AudioEngine::RenderBlock() {
    DrainMidiQueue();
    AdvanceSequencer();
    std::memset(mixLeft, 0, sizeof mixLeft);
    std::memset(mixRight, 0, sizeof mixRight);
    for (int k = 0; k < kSendCount; ++k) {
        std::fill(std::begin(sendBufferLeft[k]), std::end(sendBufferLeft[k]), kDenormalFill);
        std::fill(std::begin(sendBufferRight[k]), std::end(sendBufferRight[k]), kDenormalFill);
    }
    bool reverbActive = false;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (song.slots[slot].IsInstanced()) {
            RenderSlot(slot);
        }
        eventLists[slot].numEvents = 0;
        reverbActive = reverbActive || song.slots[slot].sendReverb > 0;
    }
    effects.Process(song.settings, reverbActive, sendBufferLeft, sendBufferRight, mixLeft,
                    mixRight);
}

void AudioEngine::RenderSlot(int slot) {
    AEffect* plugin = effect[slot];
    plugin->dispatcher(plugin, effProcessEvents, 0, 0, eventLists[slot].AsVstEvents(), 0.0f);

    float* left = slotOutLeft[slot];
    float* right = slotOutRight[slot];
    float* channels[kPluginChannels];
    channels[0] = left;
    channels[1] = right;
    for (int c = 2; c < kPluginChannels; ++c) {
        channels[c] = silentBuffer;
    }
    std::memset(left, 0, sizeof slotOutLeft[slot]);
    std::memset(right, 0, sizeof slotOutRight[slot]);
    if (plugin->flags & effFlagsCanReplacing) {
        plugin->processReplacing(plugin, channels, channels, kBlockFrames);
    } else {
        plugin->process(plugin, channels, channels, kBlockFrames);
    }

    const PluginSlot& s = song.slots[slot];
    const uint8_t levels[kSendCount] = {s.sendDelay, s.sendReverb, s.sendChorus};
    for (int k = 0; k < kSendCount; ++k) {
        const float gain = levels[k] * kSendGainUnit;
        if (gain > 0) {
            for (int i = 0; i < kBlockFrames; ++i) {
                sendBufferLeft[k][i] += gain * left[i];
                sendBufferRight[k][i] += gain * right[i];
            }
        }
    }
    for (int i = 0; i < kBlockFrames; ++i) {
        mixLeft[i] += left[i];
        mixRight[i] += right[i];
    }
}

} // namespace vantreel
