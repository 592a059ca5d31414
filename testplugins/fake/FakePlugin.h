#pragma once
// An in-process plug-in for engine tests and benchmarks: an AEffect whose function
// pointers are plain functions here. It records what it receives into fixed storage
// (nothing is allocated while it runs) and outputs a constant or a ramp.

#include "plugins/VstAbi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vantreel::test {

struct FakePlugin {
    struct Event {
        int block;       // number of process calls before this event list arrived
        int deltaFrames; // offset in the block
        uint8_t bytes[4];
        int64_t Sample(int blockFrames = 256) const {
            return int64_t(block) * blockFrames + deltaFrames;
        }
    };
    static constexpr int kMaxEvents = 1 << 16;
    static constexpr int kMaxCalls = 64;

    AEffect effect{};
    float outputLeft = 0.0f;
    float outputRight = 0.0f;
    float rampPerFrame = 0.0f; // added per rendered frame, so lost or repeated frames show
    int64_t frames = 0;
    int blocks = 0;
    int eventCount = 0;
    std::array<Event, kMaxEvents> events{};
    int callCount = 0;
    std::array<VstInt32, kMaxCalls> calls{}; // dispatcher opcodes other than process events

    explicit FakePlugin(bool replacing = true) {
        effect.magic = kEffectMagic;
        effect.dispatcher = &Dispatch;
        effect.process = &Accumulate;
        effect.processReplacing = &Replace;
        effect.setParameter = [](AEffect*, VstInt32, float) {};
        effect.getParameter = [](AEffect*, VstInt32) { return 0.0f; };
        effect.numOutputs = 2;
        effect.flags = replacing ? effFlagsCanReplacing : 0;
        effect.object = this;
    }
    FakePlugin(const FakePlugin&) = delete;
    FakePlugin& operator=(const FakePlugin&) = delete;

    void ClearLog() {
        eventCount = 0;
        callCount = 0;
    }

    // Computes the ramp once, so each call only copies it (the same samples): for
    // benchmarks, whose subject is the host. Call after setting the outputs and the ramp.
    void TableTheRamp() {
        rampTable.resize(2 * kTableFrames);
        float* halves[2] = {rampTable.data(), rampTable.data() + kTableFrames};
        const int64_t rendered = frames;
        const int rendering = blocks;
        frames = 0;
        Ramp<false>(*this, halves, kTableFrames);
        frames = rendered;
        blocks = rendering;
    }

private:
    static FakePlugin& Self(AEffect* e) { return *static_cast<FakePlugin*>(e->object); }

    static VstIntPtr Dispatch(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
        FakePlugin& self = Self(e);
        if (opcode == effProcessEvents) {
            const auto* list = static_cast<const VstEvents*>(ptr);
            for (int n = 0; n < list->numEvents && self.eventCount < kMaxEvents; ++n) {
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(list->events[n]);
                Event& out = self.events[self.eventCount++];
                out.block = self.blocks;
                out.deltaFrames = midi->deltaFrames;
                std::memcpy(out.bytes, midi->midiData, 4);
            }
            return 1;
        }
        if (self.callCount < kMaxCalls) {
            self.calls[self.callCount++] = opcode;
        }
        return 0;
    }

    static constexpr int kRampFrames = 4096; // the ramp restarts after this many frames
    static constexpr int kTableFrames = 2 * kRampFrames;
    std::vector<float> rampTable; // left, then right, from frame 0 of the ramp on

    static void Replace(AEffect* e, float**, float** outputs, VstInt32 frames) {
        FakePlugin& self = Self(e);
        if (!self.rampTable.empty() && frames <= kRampFrames) {
            const int64_t first = self.frames % kRampFrames;
            std::memcpy(outputs[0], &self.rampTable[first], sizeof(float) * frames);
            std::memcpy(outputs[1], &self.rampTable[kTableFrames + first], sizeof(float) * frames);
            self.frames += frames;
            ++self.blocks;
            return;
        }
        if (self.rampPerFrame == 0.0f) {
            std::fill(outputs[0], outputs[0] + frames, self.outputLeft);
            std::fill(outputs[1], outputs[1] + frames, self.outputRight);
            ++self.blocks;
            return;
        }
        Ramp<false>(self, outputs, frames);
    }

    static void Accumulate(AEffect* e, float**, float** outputs, VstInt32 frames) {
        FakePlugin& self = Self(e);
        Ramp<true>(self, outputs, frames);
    }

    // Everything is read into locals first, so the loop vectorises: the benchmarks use
    // this plug-in to time the engine, not itself.
    template <bool kAdd> static void Ramp(FakePlugin& self, float** outputs, VstInt32 frames) {
        const float step = self.rampPerFrame;
        const float left = self.outputLeft;
        const float right = self.outputRight;
        const int first = int(self.frames % kRampFrames);
        float* outLeft = outputs[0];
        float* outRight = outputs[1];
        for (int i = 0; i < frames; ++i) {
            const float ramp = step * float((first + i) & (kRampFrames - 1));
            if constexpr (kAdd) {
                outLeft[i] += left + ramp;
                outRight[i] += right + ramp;
            } else {
                outLeft[i] = left + ramp;
                outRight[i] = right + ramp;
            }
        }
        self.frames += frames;
        ++self.blocks;
    }
};

} // namespace vantreel::test
