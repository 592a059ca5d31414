// The master effects inside the engine: settings defaults, the render's wiring of
// the sends, returns and reverb gate, and the meters, through the stream callback.

#include "engine/AudioEngine.h"
#include "testplugins/fake/FakePlugin.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vantreel {
namespace {

class EngineEffects : public ::testing::Test {
protected:
    void SetUp() override {
        engine->effect[0] = &plugin.effect;
        engine->song.slots[0].instanced = 1;
    }
    void TearDown() override { engine->song.slots[0].instanced = 0; }

    std::vector<int16_t> Render(int callbacks = 1) {
        std::vector<int16_t> out(2 * kCallbackFrames * callbacks);
        for (int c = 0; c < callbacks; ++c) {
            engine->StreamCallback(out.data() + 2 * kCallbackFrames * c, false);
        }
        return out;
    }

    test::FakePlugin plugin;
    std::unique_ptr<AudioEngine> engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
};

TEST_F(EngineEffects, SettingsStartAtTheirDefaultsAndSurviveClearProject) {
    engine->song.slots[0].instanced = 0; // nothing for ClearProject to close
    SongSettings& s = engine->song.settings;
    EXPECT_EQ(s.delay.delayLeft, 15840);
    EXPECT_EQ(s.delay.feedbackRight, 70);
    EXPECT_EQ(s.delay.crossDelay, 1);
    EXPECT_EQ(s.chorus.lfoSpeed, 36);
    EXPECT_EQ(s.chorus.chorusDelay, 40);
    EXPECT_EQ(s.chorus.chorusMod, 63);
    EXPECT_EQ(s.reverb.room, 80);
    EXPECT_EQ(s.reverb.damp, 64);
    EXPECT_EQ(s.reverb.width, 128);
    EXPECT_EQ(s.compressor.threshold, 100);
    EXPECT_EQ(s.compressor.smoothness, 16);

    s.delay.delayLeft = 1234;
    s.chorus.chorusMod = 5;
    s.reverb.mode = 70;
    s.equalizer.peakGain = -9;
    s.compressor.ratio = 3;
    engine->ClearProject();
    EXPECT_EQ(s.delay.delayLeft, 1234);
    EXPECT_EQ(s.chorus.chorusMod, 5);
    EXPECT_EQ(s.reverb.mode, 70);
    EXPECT_EQ(s.equalizer.peakGain, -9);
    EXPECT_EQ(s.compressor.ratio, 3);
}

// A constant 0.5 with no sends comes out as 16000 at volume 32000: the effects'
// returns of the send fill vanish in the floor.
TEST_F(EngineEffects, DryPathIsUnity) {
    plugin.outputLeft = 0.5f;
    plugin.outputRight = 0.5f;
    const std::vector<int16_t> out = Render(3);
    for (int16_t v : out) {
        ASSERT_EQ(v, 16000);
    }
    EXPECT_EQ(engine->VuPosition(engine->effects.PeakLeft()), 62);
}

// The delay send returns into the mix: a constant at full send doubles once the
// first echo arrives, delayLeft samples in.
TEST_F(EngineEffects, DelaySendReturnsIntoTheMix) {
    SongSettings& s = engine->song.settings;
    s.delay.delayLeft = 300;
    s.delay.delayRight = 300;
    s.delay.feedbackLeft = 0;
    s.delay.feedbackRight = 0;
    s.delay.crossDelay = 0;
    engine->song.slots[0].sendDelay = 128;
    plugin.outputLeft = 0.25f;
    plugin.outputRight = 0.125f;
    const std::vector<int16_t> out = Render();
    for (int i = 0; i < kCallbackFrames; ++i) {
        ASSERT_EQ(out[2 * i], i < 300 ? 8000 : 16000) << i;
        ASSERT_EQ(out[2 * i + 1], i < 300 ? 4000 : 8000) << i;
    }
}

// The reverb runs, and takes its parameters, only while some slot sends to it.
TEST_F(EngineEffects, ReverbRunsOnlyWhileSomeSlotSendsToIt) {
    plugin.outputLeft = 0.5f;
    engine->song.settings.reverb.room = 0;
    Render();
    EXPECT_FLOAT_EQ(engine->effects.Reverb().RoomSize(), 0.84f); // untouched since construction

    engine->song.slots[0].sendReverb = 40;
    const std::vector<int16_t> out = Render(3);
    EXPECT_FLOAT_EQ(engine->effects.Reverb().RoomSize(), 0.7f);
    // The right channel's only source is the reverb's return of the left send.
    int heard = 0;
    for (size_t i = 1; i < out.size(); i += 2) {
        heard += out[i] != 0;
    }
    EXPECT_GT(heard, kCallbackFrames);
}

} // namespace
} // namespace vantreel
