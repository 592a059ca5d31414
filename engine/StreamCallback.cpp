// The audio thread's work: blocks of 256 frames, each rendered by the sequencer, the
// plug-ins, the mix and the master effects, and converted to 16-bit output.

#include "engine/AudioEngine.h"

#include "engine/OutputSamples.h"
#include "engine/SlotMix.h"
#include "plugins/PluginCalls.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

namespace vantreel {

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
