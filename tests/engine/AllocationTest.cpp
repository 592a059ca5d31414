// The audio thread must never allocate.

#include "EngineFixture.h"
#include "plugins/Lv2Name.h"
#include "support/AllocationCounter.h"
#include "support/ScopedEnvironment.h"
#include "testplugins/lv2probe/Lv2ProbeLog.h"

namespace vantreel::test {
namespace {

class AllocationTest : public EngineFixture {
protected:
    void SetUp() override {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            FakePlugin& fake = Install(slot);
            fake.outputLeft = 0.1f;
            engine->song.slots[slot].sendDelay = 30;
            engine->song.slots[slot].sendReverb = 40;
            engine->song.slots[slot].sendChorus = 50;
            Pattern& pattern = engine->song.slots[slot].patterns[0];
            pattern.SetLength(16);
            for (int line = 0; line < 16; ++line) {
                for (int t = 0; t < kTracks; ++t) {
                    pattern.SetCell(
                        line, t, {uint8_t(0x90 + t), uint8_t(40 + line), 100, uint8_t(line % 2)});
                }
            }
            engine->song.arrangement.Set(0, slot, {0, 0});
            engine->song.arrangement.Set(20, slot, {kPatternCodeBreak, 0});
        }
        engine->song.settings.lineLength = 1000; // many lines per callback
        engine->song.settings.songEnd = 40;
        engine->song.settings.compressor.ratio = 8;
        engine->song.settings.equalizer.peakGain = 6;
    }

    long CountWhileRendering(int callbacks) {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        AllocationCounter counter;
        for (int c = 0; c < callbacks; ++c) {
            const uint8_t note[4] = {0x90, uint8_t(c % 128), 64, 0};
            engine->QueueMidiEvent(c % kSlotCount, note);
            engine->StreamCallback(buffer.data(), c % 2 == 0);
        }
        return counter.Count();
    }
};

TEST(AllocationCounterTest, SeesAnAllocation) {
    AllocationCounter counter;
    auto* value = new int(3);
    const long seen = counter.Count();
    delete value;
    EXPECT_EQ(seen, 1);
}

TEST_F(AllocationTest, StreamCallbackAllocatesNothingPlayingAPattern) {
    engine->PlayPattern();
    EXPECT_EQ(CountWhileRendering(40), 0);
}

TEST_F(AllocationTest, StreamCallbackAllocatesNothingPlayingTheSong) {
    engine->PlaySong();
    EXPECT_EQ(CountWhileRendering(40), 0);
}

TEST_F(AllocationTest, StreamCallbackAllocatesNothingWhenEventListsFlood) {
    engine->song.settings.lineLength = 1; // a line every sample floods every list
    engine->PlaySong();
    EXPECT_EQ(CountWhileRendering(4), 0);
    EXPECT_NE(engine->reporter.TakePending(), 0u);
}

// Two slots hold our LV2 probe behind the adapter, whose worker answers every
// note-on: the MIDI, the atom sequences, the worker's answers and the run itself
// allocate nothing either.
TEST_F(AllocationTest, StreamCallbackAllocatesNothingWithLv2InstrumentsAndTheirWorker) {
    ScopedEnvironment path{"LV2_PATH", VANTREEL_LV2_OUTPUT_DIR};
    const std::string probe = Lv2NameFor(lv2probe::kProbeUri);
    for (int slot = 0; slot < 2; ++slot) {
        ASSERT_TRUE(engine->LoadPlugin(slot, probe.c_str())) << engine->LastPluginError();
    }
    engine->PlaySong();
    Render(2); // the worker has started and answered once before counting
    EXPECT_EQ(CountWhileRendering(40), 0);
    for (int slot = 0; slot < 2; ++slot) {
        engine->UnloadPlugin(slot);
    }
}

} // namespace
} // namespace vantreel::test
