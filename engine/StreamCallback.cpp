// The audio thread's work: blocks of 256 frames, each rendered by the sequencer, the
// plug-ins, the mix and the master effects, and converted to 16-bit output.

#include "engine/AudioEngine.h"

#include "effects/FloatLanes.h"
#include "engine/FloorToInt.h"
#include "plugins/PluginCalls.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>

namespace vantreel {

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

// The slots that take part in a block's mix, in slot order, with their send gains.
struct MixSources {
    const float* left[kSlotCount];
    const float* right[kSlotCount];
    float gains[kSlotCount][kSendCount];
    int count = 0;
    bool anySend = false; // some gain is above 0
};

constexpr int kMixVectors = 2;
constexpr int kMixTile = kMixVectors * kLaneCount; // frames summed in registers

// Adds every source to the sends (where its gain is above 0) and to the mix. All
// slots are summed per tile of frames, held in registers, so each sum is stored once
// per tile rather than once per slot; per frame the additions keep the slot order.
// Without sends (no slot sends anywhere) the sends are left as they are, which is
// what adding nothing to them would give.
template <bool kWithSends>
void MixChannel(const MixSources& sources, const float* const* outputs,
                float (*sends)[kBlockFrames], float* mix) {
    for (int start = 0; start < kBlockFrames; start += kMixTile) {
        FloatLanes send[kSendCount][kMixVectors];
        FloatLanes sum[kMixVectors];
        for (int v = 0; v < kMixVectors; ++v) {
            const int at = start + v * kLaneCount;
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    send[k][v] = LoadLanes(&sends[k][at]);
                }
            }
            sum[v] = LoadLanes(&mix[at]);
        }
        for (int n = 0; n < sources.count; ++n) {
            FloatLanes out[kMixVectors];
            for (int v = 0; v < kMixVectors; ++v) {
                out[v] = LoadLanes(outputs[n] + start + v * kLaneCount);
            }
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    const float gain = sources.gains[n][k];
                    if (gain > 0) {
                        for (int v = 0; v < kMixVectors; ++v) {
                            send[k][v] += gain * out[v];
                        }
                    }
                }
            }
            for (int v = 0; v < kMixVectors; ++v) {
                sum[v] += out[v];
            }
        }
        for (int v = 0; v < kMixVectors; ++v) {
            const int at = start + v * kLaneCount;
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    StoreLanes(&sends[k][at], send[k][v]);
                }
            }
            StoreLanes(&mix[at], sum[v]);
        }
    }
}

} // namespace

void AudioEngine::StreamCallback(int16_t* buffer, bool realtime) {
    // The render lets a waiting user-interface operation go first (see EngineLock).
    if (realtime) {
        // A blocked callback would make the device underrun: give up this buffer
        // instead, and let the sequencer stand still, as it would while waiting.
        const int rate = song.settings.sampleRate;
        if (!lock.TryLockForRender(RealtimeLockWait(kCallbackFrames, rate))) {
            std::memset(buffer, 0, sizeof(int16_t) * 2 * kCallbackFrames);
            return;
        }
    } else {
        lock.LockForRender();
    }
    std::unique_lock<EngineLock> held(lock, std::adopt_lock);
    for (int block = 0; block < kBlocksPerCallback; ++block) {
        RenderOutputBlock(buffer + 2 * block * kBlockFrames);
    }
}

bool AudioEngine::TryLockFor(std::chrono::microseconds wait) {
    return lock.TryLockForRender(wait);
}

void AudioEngine::Unlock() {
    lock.unlock();
}

void AudioEngine::RenderOutputBlock(int16_t* frames) {
    const double volume = song.settings.masterVolume;
    RenderBlock();
    for (int i = 0; i < kBlockFrames; ++i) {
        *frames++ = ToOutputSample(mixLeft[i] * volume);
        *frames++ = ToOutputSample(mixRight[i] * volume);
    }
}

void AudioEngine::RenderBlock() {
    DrainMidiQueue();
    PublishTransport();
    AdvanceSequencer();
    std::memset(mixLeft, 0, sizeof mixLeft);
    std::memset(mixRight, 0, sizeof mixRight);
    for (int k = 0; k < kSendCount; ++k) {
        std::fill(std::begin(sendBufferLeft[k]), std::end(sendBufferLeft[k]), kDenormalFill);
        std::fill(std::begin(sendBufferRight[k]), std::end(sendBufferRight[k]), kDenormalFill);
    }
    // Every event list is filled: the slots' plug-ins now run spread over the render
    // threads, except those whose library must stay on this thread, which run here
    // first, one after the other.
    bool rendered[kSlotCount] = {};
    int pinned[kSlotCount];
    int pinnedCount = 0;
    int itemCount = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        // The instance is read only once the slot says it is instanced: a load writes
        // it outside the lock while the flag is still clear.
        if (!song.slots[slot].IsInstanced()) {
            continue;
        }
        AEffect* instance = effect[slot];
        if (instance == nullptr) {
            continue;
        }
        rendered[slot] = true;
        if (audioThreadOnly[slot].load(std::memory_order_relaxed) != 0) {
            pinned[pinnedCount++] = slot;
        } else {
            blockItems[itemCount++] = {slot, instance};
        }
    }
    workers->Begin(itemCount);
    for (int n = 0; n < pinnedCount; ++n) {
        RenderSlot(pinned[n], effect[pinned[n]], *scratch[0]);
    }
    workers->Join();

    // The plug-ins have all run: their outputs go to the sends and the mix in one
    // pass, in slot order, as if they had run one after the other.
    bool reverbActive = false;
    MixSources sources;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const PluginSlot& s = song.slots[slot];
        if (rendered[slot]) {
            const uint8_t levels[kSendCount] = {s.sendDelay, s.sendReverb, s.sendChorus};
            for (int k = 0; k < kSendCount; ++k) {
                sources.gains[sources.count][k] = levels[k] * kParameterUnit;
                sources.anySend = sources.anySend || levels[k] > 0;
            }
            sources.left[sources.count] = slotOutLeft[slot];
            sources.right[sources.count] = slotOutRight[slot];
            ++sources.count;
        }
        eventLists[slot].numEvents = 0;
        reverbActive = reverbActive || s.sendReverb > 0;
    }
    if (sources.anySend) {
        MixChannel<true>(sources, sources.left, sendBufferLeft, mixLeft);
        MixChannel<true>(sources, sources.right, sendBufferRight, mixRight);
    } else {
        MixChannel<false>(sources, sources.left, sendBufferLeft, mixLeft);
        MixChannel<false>(sources, sources.right, sendBufferRight, mixRight);
    }
    effects.Process(song.settings, reverbActive, sendBufferLeft, sendBufferRight, mixLeft,
                    mixRight);
}

void AudioEngine::RenderItem(void* engine, int index, int thread) {
    auto* self = static_cast<AudioEngine*>(engine);
    const BlockItem& item = self->blockItems[index];
    self->RenderSlot(item.slot, item.instance, *self->scratch[thread]);
}

void AudioEngine::RenderSlot(int slot, AEffect* instance, SlotScratch& own) {
    plugin::ProcessEvents(instance, eventLists[slot].AsVstEvents());

    float* left = slotOutLeft[slot];
    float* right = slotOutRight[slot];
    // Inputs 1 and 2 are the slot's own output buffers, cleared just before.
    own.inputs[0] = own.outputs[0] = left;
    own.inputs[1] = own.outputs[1] = right;
    const int channels = std::min(plugin::ChannelCount(instance), plugin::kMaxPluginChannels);
    if (channels > 2) {
        // A plug-in may write into what it was given as input: keep the silence silent.
        std::memset(own.silent, 0, sizeof own.silent);
        for (int c = 2; c < channels; ++c) {
            own.inputs[c] = own.silent;
            own.outputs[c] = own.aux[c - 2];
            std::memset(own.aux[c - 2], 0, sizeof own.aux[c - 2]);
        }
    }
    std::memset(left, 0, sizeof slotOutLeft[slot]);
    std::memset(right, 0, sizeof slotOutRight[slot]);
    if (!plugin::Render(instance, own.inputs, own.outputs, kBlockFrames)) {
        return; // silent: the plug-in cannot be run any more
    }
    // A mono instrument is heard in both channels.
    if (instance->numOutputs == 1) {
        std::memcpy(right, left, sizeof slotOutRight[slot]);
    }
    // RenderBlock adds the output to the sends and the mix once all slots have run.
}

} // namespace vantreel
