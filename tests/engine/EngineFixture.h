#pragma once
// An engine without an output thread, driven buffer by buffer by the test, with
// fake plug-ins placed straight into slots.

#include "engine/AudioEngine.h"
#include "testplugins/fake/FakePlugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace vantreel::test {

class EngineFixture : public ::testing::Test {
protected:
    std::unique_ptr<AudioEngine> engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    std::vector<std::unique_ptr<FakePlugin>> fakes;

    FakePlugin& Install(int slot, bool replacing = true) {
        fakes.push_back(std::make_unique<FakePlugin>(replacing));
        engine->effect[slot] = &fakes.back()->effect;
        std::strcpy(engine->song.slots[slot].dllName, "fake.so");
        engine->song.slots[slot].instanced = 1;
        return *fakes.back();
    }

    // Renders whole callbacks; returns the interleaved samples.
    std::vector<int16_t> Render(int callbacks) {
        std::vector<int16_t> out(size_t(callbacks) * 2 * kCallbackFrames);
        for (int c = 0; c < callbacks; ++c) {
            engine->StreamCallback(out.data() + size_t(c) * 2 * kCallbackFrames, false);
        }
        return out;
    }

    // Renders at least `samples` frames of song time.
    void RenderSamples(int64_t samples) {
        Render(int((samples + kCallbackFrames - 1) / kCallbackFrames));
    }

    void SetCell(int slot, int pattern, int line, int track, EventCell cell) {
        engine->song.slots[slot].patterns[pattern].SetCell(line, track, cell);
    }

    void TearDown() override {
        // The fakes die with the fixture; close the slots first so nothing calls them.
        for (auto& slot : engine->song.slots) {
            slot.instanced = 0;
        }
    }
};

} // namespace vantreel::test
