#include "EngineFixture.h"
#include "engine/OfflineRenderer.h"
#include "plugins/PluginCalls.h"

#include <limits>
#include <memory>
#include <vector>

namespace vantreel::test {
namespace {

using RenderTest = EngineFixture;

TEST_F(RenderTest, ConstantHalfGivesSixteenThousand) {
    FakePlugin& fake = Install(0);
    fake.outputLeft = fake.outputRight = 0.5f;
    std::vector<int16_t> out = Render(2);
    for (int16_t sample : out) {
        ASSERT_EQ(sample, 16000);
    }
}

TEST_F(RenderTest, FullScaleClipsSymmetrically) {
    FakePlugin& fake = Install(0);
    engine->song.settings.masterVolume = 32768;
    fake.outputLeft = 1.0f;
    fake.outputRight = -1.0f;
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32767);
    fake.outputLeft = 1.0e30f;
    fake.outputRight = -1.0e30f;
    out = Render(1);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32767);
}

// Not-a-number and infinities are no sound: they become silence, not full scale.
TEST_F(RenderTest, GarbageFromAPluginNeverReachesTheOutputAsNoise) {
    FakePlugin& fake = Install(0);
    fake.outputLeft = std::numeric_limits<float>::quiet_NaN();
    fake.outputRight = std::numeric_limits<float>::infinity();
    std::vector<int16_t> out = Render(1);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
}

// A plug-in's garbage is found while the outputs are mixed, and the block mixed again:
// the song must sound exactly as if the plug-in had given the cleaned samples, in the
// sends as well as in the mix, and a well-behaved slot beside it must be unchanged.
TEST_F(RenderTest, GarbageMixesAsItsCleanedSamplesWouldWithAndWithoutSends) {
    struct Song {
        std::unique_ptr<AudioEngine> engine =
            std::make_unique<AudioEngine>(OutputMode::CallerDriven);
        FakePlugin broken;
        FakePlugin steady;
        Song(float left, float right, uint8_t send) {
            broken.outputLeft = left;
            broken.outputRight = right;
            steady.rampPerFrame = 1.0f / 8192;
            for (int slot : {0, 1}) {
                engine->effect[slot] = slot == 0 ? &broken.effect : &steady.effect;
                engine->song.slots[slot].instanced = 1;
                engine->song.slots[slot].sendDelay = send;
                engine->song.slots[slot].sendChorus = send;
            }
            engine->song.settings.masterVolume = 200;
        }
        ~Song() {
            for (auto& slot : engine->song.slots) {
                slot.instanced = 0;
            }
        }
        std::vector<int16_t> Render(int callbacks) {
            std::vector<int16_t> out(size_t(2 * kCallbackFrames * callbacks));
            for (int c = 0; c < callbacks; ++c) {
                engine->StreamCallback(out.data() + 2 * kCallbackFrames * c, false);
            }
            return out;
        }
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float limit = plugin::kMaxRenderedSample;
    for (uint8_t send : {0, 90}) {
        SCOPED_TRACE(int(send));
        Song garbage(nan, 1.0e30f, send);
        Song cleaned(0.0f, limit, send);
        const std::vector<int16_t> heard = garbage.Render(6);
        EXPECT_EQ(cleaned.Render(6), heard);
        EXPECT_EQ(int(limit) * 200, heard[1]); // the huge right channel is held at the limit
    }
}

TEST_F(RenderTest, VolumeZeroIsSilent) {
    FakePlugin& fake = Install(0);
    fake.outputLeft = fake.outputRight = 0.9f;
    engine->song.settings.masterVolume = 0;
    for (int16_t sample : Render(1)) {
        ASSERT_EQ(sample, 0);
    }
}

TEST_F(RenderTest, AccumulatingPluginMatchesReplacingOne) {
    FakePlugin& accumulating = Install(0, false);
    accumulating.outputLeft = 0.25f;
    accumulating.outputRight = -0.125f;
    std::vector<int16_t> first = Render(3);
    engine->song.slots[0].instanced = 0;

    FakePlugin& replacing = Install(1, true);
    replacing.outputLeft = 0.25f;
    replacing.outputRight = -0.125f;
    EXPECT_EQ(Render(3), first);
    EXPECT_EQ(first[0], 8000);
    EXPECT_EQ(first[1], -4000);
}

TEST_F(RenderTest, EventsOfAnEmptySlotAreDroppedAtTheEndOfTheBlock) {
    engine->PlayCell(4, 0, {0x90, 60, 100, 0}, 0);
    ASSERT_EQ(engine->eventLists[4].numEvents, 1);
    Render(1);
    EXPECT_EQ(engine->eventLists[4].numEvents, 0);
}

TEST_F(RenderTest, OfflineRendererInOddChunksGivesTheCallbackStream) {
    FakePlugin& fake = Install(0);
    fake.rampPerFrame = 1.0f / 8192;
    std::vector<int16_t> direct = Render(4);

    auto other = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    FakePlugin second;
    second.rampPerFrame = 1.0f / 8192;
    other->effect[0] = &second.effect;
    other->song.slots[0].instanced = 1;
    OfflineRenderer renderer(*other);
    std::vector<int16_t> chunked(direct.size());
    int64_t done = 0;
    for (int64_t chunk : {1, 100, 2047, 2048, 3000, 1}) {
        renderer.Render(chunked.data() + 2 * done, chunk);
        done += chunk;
    }
    renderer.Render(chunked.data() + 2 * done, int64_t(direct.size() / 2) - done);
    other->song.slots[0].instanced = 0;
    EXPECT_EQ(chunked, direct);
}

} // namespace
} // namespace vantreel::test
