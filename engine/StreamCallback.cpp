// The audio thread's work: blocks of 256 frames, each rendered by the sequencer, the
// plug-ins, the mix and the master effects, and converted to 16-bit output.

#include "engine/AudioEngine.h"

#include "effects/FloatLanes.h"
#include "engine/OutputSamples.h"
#include "plugins/PluginCalls.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>

namespace vantreel {

namespace {

// The slots that take part in a block's mix, in slot order, with their send gains.
struct MixSources {
    float* left[kSlotCount];
    float* right[kSlotCount];
    float gains[kSlotCount][kSendCount];
    int count = 0;
    bool anySend = false; // some gain is above 0
};

// Frames summed in registers, in vectors of four: the sends need registers of their
// own; without them, more frames side by side keep more additions in flight.
template <bool kWithSends> constexpr int kMixVectors = kWithSends ? 2 : 4;

// Adds every source to the sends (where its gain is above 0) and to the mix. All
// slots are summed per tile of frames, held in registers, so each sum is stored once
// per tile rather than once per slot; per frame the additions keep the slot order.
// Without sends (no slot sends anywhere) the sends are left as they are, which is
// what adding nothing to them would give.
//
// The plug-ins' outputs are checked here, as they are read anyway: false when some
// sample is NaN, infinite or beyond the limit (see kMaxRenderedSampleBits), and the
// sums must be redone from cleaned outputs.
template <bool kWithSends>
bool MixChannel(const MixSources& sources, const float* const* outputs,
                float (*sends)[kBlockFrames], float* mix) {
    constexpr int kVectors = kMixVectors<kWithSends>;
    constexpr int kTile = kVectors * kLaneCount;
    const BitLanes limit = BitLanes{} + plugin::kMaxRenderedSampleBits;
    BitLanes outside = {};
    for (int start = 0; start < kBlockFrames; start += kTile) {
        FloatLanes send[kSendCount][kVectors];
        FloatLanes sum[kVectors];
        for (int v = 0; v < kVectors; ++v) {
            const int at = start + v * kLaneCount;
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    send[k][v] = LoadLanes(&sends[k][at]);
                }
            }
            sum[v] = LoadLanes(&mix[at]);
        }
        for (int n = 0; n < sources.count; ++n) {
            FloatLanes out[kVectors];
            for (int v = 0; v < kVectors; ++v) {
                out[v] = LoadLanes(outputs[n] + start + v * kLaneCount);
                outside |= (std::bit_cast<BitLanes>(out[v]) & INT32_MAX) > limit;
            }
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    const float gain = sources.gains[n][k];
                    if (gain > 0) {
                        for (int v = 0; v < kVectors; ++v) {
                            send[k][v] += gain * out[v];
                        }
                    }
                }
            }
            for (int v = 0; v < kVectors; ++v) {
                sum[v] += out[v];
            }
        }
        for (int v = 0; v < kVectors; ++v) {
            const int at = start + v * kLaneCount;
            if constexpr (kWithSends) {
                for (int k = 0; k < kSendCount; ++k) {
                    StoreLanes(&sends[k][at], send[k][v]);
                }
            }
            StoreLanes(&mix[at], sum[v]);
        }
    }
    return (outside[0] | outside[1] | outside[2] | outside[3]) == 0;
}

// Both channels of every source into the sends and the mix; false as MixChannel.
bool MixSlots(const MixSources& sources, SendBuffers& sendLeft, SendBuffers& sendRight,
              float* mixLeft, float* mixRight) {
    if (sources.anySend) {
        const bool left = MixChannel<true>(sources, sources.left, sendLeft, mixLeft);
        return MixChannel<true>(sources, sources.right, sendRight, mixRight) && left;
    }
    const bool left = MixChannel<false>(sources, sources.left, sendLeft, mixLeft);
    return MixChannel<false>(sources, sources.right, sendRight, mixRight) && left;
}

// The mix starts silent; the sends hold the fill that keeps their effects' lines
// out of denormals.
void StartMix(SendBuffers& sendLeft, SendBuffers& sendRight, float* mixLeft, float* mixRight) {
    std::fill(mixLeft, mixLeft + kBlockFrames, 0.0f);
    std::fill(mixRight, mixRight + kBlockFrames, 0.0f);
    for (int k = 0; k < kSendCount; ++k) {
        std::fill(std::begin(sendLeft[k]), std::end(sendLeft[k]), kDenormalFill);
        std::fill(std::begin(sendRight[k]), std::end(sendRight[k]), kDenormalFill);
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
    ToOutputFrames(mixLeft, mixRight, volume, kBlockFrames, frames);
}

void AudioEngine::RenderBlock() {
    DrainMidiQueue();
    PublishTransport();
    AdvanceSequencer();
    StartMix(sendBufferLeft, sendBufferRight, mixLeft, mixRight);
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
    if (!MixSlots(sources, sendBufferLeft, sendBufferRight, mixLeft, mixRight)) {
        // Some plug-in gave garbage: clean every output and mix again from the start,
        // which gives what cleaning each output before the mix would have.
        for (int n = 0; n < sources.count; ++n) {
            plugin::CleanSamples(sources.left[n], kBlockFrames);
            plugin::CleanSamples(sources.right[n], kBlockFrames);
        }
        StartMix(sendBufferLeft, sendBufferRight, mixLeft, mixRight);
        MixSlots(sources, sendBufferLeft, sendBufferRight, mixLeft, mixRight);
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
    // Unchecked: RenderBlock checks the outputs while it mixes them.
    if (!plugin::RenderUnchecked(instance, own.inputs, own.outputs, kBlockFrames)) {
        return; // silent: the plug-in cannot be run any more
    }
    // A mono instrument is heard in both channels.
    if (instance->numOutputs == 1) {
        std::memcpy(right, left, sizeof slotOutRight[slot]);
    }
    // RenderBlock adds the output to the sends and the mix once all slots have run.
}

} // namespace vantreel
