#pragma once
// An in-process plug-in for engine tests and benchmarks: an AEffect whose function
// pointers are plain functions here. It records what it receives into fixed storage
// (nothing is allocated while it runs) and outputs a constant.

#include "plugins/VstAbi.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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

    static void Replace(AEffect* e, float**, float** outputs, VstInt32 frames) {
        FakePlugin& self = Self(e);
        if (self.rampPerFrame == 0.0f) {
            std::fill(outputs[0], outputs[0] + frames, self.outputLeft);
            std::fill(outputs[1], outputs[1] + frames, self.outputRight);
            ++self.blocks;
            return;
        }
        for (int i = 0; i < frames; ++i) {
            const float ramp = self.rampPerFrame * float(self.frames++ % 4096);
            outputs[0][i] = self.outputLeft + ramp;
            outputs[1][i] = self.outputRight + ramp;
        }
        ++self.blocks;
    }

    static void Accumulate(AEffect* e, float**, float** outputs, VstInt32 frames) {
        FakePlugin& self = Self(e);
        for (int i = 0; i < frames; ++i) {
            const float ramp = self.rampPerFrame * float(self.frames++ % 4096);
            outputs[0][i] += self.outputLeft + ramp;
            outputs[1][i] += self.outputRight + ramp;
        }
        ++self.blocks;
    }
};

} // namespace vantreel::test
