// What reaches the mix from plug-ins that misbehave: garbage samples are cleaned so
// the effects recover, channel counts of any size up to the capacity are served,
// auxiliary channels never leak between slots, mono is heard on both sides, and the
// process function that exists is the one called.

#include "MisbehavingPluginSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace vantreel::test {
namespace {

constexpr int kBurstBlock = 40;
constexpr int kGarbageSlot = 0;
constexpr int kCleanSlot = 5;
constexpr int kRecoverySeconds = 15;

struct EffectPath {
    const char* name;
    uint8_t delay, reverb, chorus;
    bool shaped; // equalizer gains and the compressor on
};

constexpr EffectPath kPaths[] = {
    {"dry", 0, 0, 0, false},      {"delay", 128, 0, 0, false},      {"reverb", 0, 128, 0, false},
    {"chorus", 0, 0, 128, false}, {"everything", 96, 96, 96, true},
};

void UsePath(AudioEngine& engine, const EffectPath& path) {
    for (int slot : {kGarbageSlot, kCleanSlot}) {
        PluginSlot& s = engine.song.slots[slot];
        s.sendDelay = path.delay;
        s.sendReverb = path.reverb;
        s.sendChorus = path.chorus;
    }
    if (path.shaped) {
        engine.song.settings.equalizer.lowGain = 12;
        engine.song.settings.equalizer.peakGain = -6;
        engine.song.settings.equalizer.highGain = 9;
        engine.song.settings.compressor.ratio = 100;
        engine.song.settings.compressor.threshold = 40;
    }
}

class GarbageTest : public MisbehavingPluginTest {
protected:
    // Slot 0 plays a tone broken by two blocks of `garbage` (none when NaN is not
    // asked for and `burst` is false); slot 5 plays another tone throughout.
    std::vector<int16_t> RenderSong(const EffectPath& path, bool burst, float garbage) {
        auto song = MakeEngineIn(kBadPluginDir);
        misbehaving::Config config;
        config.burstBlock = burst ? kBurstBlock : -1;
        config.burstValue = garbage;
        EXPECT_TRUE(Load(*song, kGarbageSlot, config));
        misbehaving::Config other;
        other.level = 0.125f;
        EXPECT_TRUE(Load(*song, kCleanSlot, other));
        UsePath(*song, path);
        const int frames = (kBurstBlock + 2) * kBlockFrames + (kRecoverySeconds + 1) * 44100;
        return RenderCallbacks(*song, frames / kCallbackFrames + 1);
    }
};

TEST_F(GarbageTest, BurstsOfGarbageNeverSilenceTheSongAndItRecoversFully) {
    const float garbage[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), 1.0e30f};
    const std::size_t burstEnd = std::size_t(kBurstBlock + 2) * kBlockFrames * 2;
    const std::size_t recovered = burstEnd + std::size_t(kRecoverySeconds) * 44100 * 2;
    for (const EffectPath& path : kPaths) {
        const std::vector<int16_t> clean = RenderSong(path, false, 0.0f);
        for (float value : garbage) {
            SCOPED_TRACE(std::string(path.name) + " with " + std::to_string(value));
            const std::vector<int16_t> broken = RenderSong(path, true, value);
            ASSERT_EQ(clean.size(), broken.size());
            // Just after the burst the song is still heard, neither silent nor pinned.
            constexpr std::size_t kWindow = 2 * 44100;
            int heard = 0;
            for (std::size_t i = burstEnd + kWindow; i < burstEnd + 2 * kWindow; ++i) {
                heard += broken[i] != 0 && std::abs(broken[i]) != kMaxSample;
            }
            EXPECT_GT(heard, int(kWindow * 9 / 10));
            int worst = 0;
            for (std::size_t i = recovered; i < broken.size(); ++i) {
                worst = std::max(worst, std::abs(int(broken[i]) - int(clean[i])));
            }
            EXPECT_LE(worst, 1);
        }
    }
}

TEST_F(MisbehavingPluginTest, CleaningTurnsGarbageIntoSilenceAndLimitsHugeSamples) {
    float samples[] = {std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(),
                       1.0e30f,
                       -65.0f,
                       63.5f,
                       -0.25f};
    plugin::CleanSamples(samples, 7);
    const float expected[] = {0.0f, 0.0f, 0.0f, 64.0f, -64.0f, 63.5f, -0.25f};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(expected[i], samples[i]) << i;
    }

    // In-range blocks are only read: one bad sample anywhere, in the vector part or the
    // tail, must still be found, and the rest left bit for bit as it was.
    const float limit = plugin::kMaxRenderedSample;
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                         -std::numeric_limits<float>::infinity(), std::nextafter(limit, 100.0f),
                         -std::nextafter(limit, 100.0f)};
    const float badCleaned[] = {0.0f, 0.0f, limit, -limit};
    for (int frames : {256, 7, 1}) {
        std::vector<float> block(frames);
        for (int i = 0; i < frames; ++i) {
            const float edges[] = {limit, -limit, -0.0f, 1e-40f, 0.5f * float(i)};
            block[i] = std::min(edges[i % 5], limit);
        }
        std::vector<float> same = block;
        plugin::CleanSamples(same.data(), frames);
        EXPECT_EQ(0, std::memcmp(block.data(), same.data(), sizeof(float) * frames));
        for (int at = 0; at < frames; ++at) {
            for (int b = 0; b < 4; ++b) {
                std::vector<float> dirty = block;
                dirty[at] = bad[b];
                plugin::CleanSamples(dirty.data(), frames);
                std::vector<float> want = block;
                want[at] = badCleaned[b];
                ASSERT_EQ(0, std::memcmp(want.data(), dirty.data(), sizeof(float) * frames))
                    << frames << " frames, bad value " << b << " at " << at;
            }
        }
    }
}

TEST_F(MisbehavingPluginTest, AnyChannelCountUpToTheCapacityPlaysAndAuxiliariesStayApart) {
    const std::vector<int16_t> reference = PlainRender(4);
    for (int outputs : {2, 8, 32, plugin::kMaxPluginChannels}) {
        SCOPED_TRACE(outputs);
        auto song = MakeEngineIn(kBadPluginDir);
        misbehaving::Config loud;
        loud.numOutputs = outputs;
        loud.numInputs = outputs / 2;
        loud.auxLevel = 0.75f;
        ASSERT_TRUE(Load(*song, 0, loud));
        // A later slot listening on many inputs hears nothing of slot 0's extra outputs.
        misbehaving::Config listener;
        listener.numInputs = plugin::kMaxPluginChannels;
        listener.level = 0.0f;
        ASSERT_TRUE(Load(*song, 1, listener));
        EXPECT_EQ(reference, RenderCallbacks(*song, 4));
        EXPECT_EQ(0, CountersOf(*song, 1).nonSilentAuxInputs);
        EXPECT_EQ(0, CountersOf(*song, 0).nonSilentAuxInputs);
    }
}

TEST_F(MisbehavingPluginTest, MoreChannelsThanTheCapacityAreRefusedWithTheReason) {
    for (bool inputs : {false, true}) {
        misbehaving::Config wide;
        (inputs ? wide.numInputs : wide.numOutputs) = 200;
        api.configure(&wide);
        EXPECT_FALSE(engine->LoadPlugin(0, misbehaving::kLibraryName));
        EXPECT_NE(std::string::npos, engine->LastPluginError().find("200")) << inputs;
        EXPECT_NE(std::string::npos, engine->LastPluginError().find("128")) << inputs;
        EXPECT_FALSE(engine->song.slots[0].IsInstanced());
    }
}

TEST_F(MisbehavingPluginTest, AMonoInstrumentIsHeardOnBothSides) {
    const std::vector<int16_t> reference = PlainRender(4);
    misbehaving::Config mono;
    mono.numOutputs = 1;
    ASSERT_TRUE(Load(0, mono));
    const std::vector<int16_t> out = Render(4);
    ASSERT_EQ(reference.size(), out.size());
    int sounding = 0;
    for (std::size_t i = 0; i < out.size(); i += 2) {
        ASSERT_EQ(reference[i], out[i]) << i;
        ASSERT_EQ(out[i], out[i + 1]) << i;
        sounding += out[i] != 0;
    }
    EXPECT_GT(sounding, 1000);
}

TEST_F(MisbehavingPluginTest, TheProcessFunctionThatExistsIsCalledWhateverTheFlagSays) {
    const std::vector<int16_t> reference = PlainRender(4);
    misbehaving::Config replacingFlagOnly; // the flag set, processReplacing null
    replacingFlagOnly.withReplacing = false;
    misbehaving::Config accumulatingOnly; // the flag missing, process null
    accumulatingOnly.flags = 0;
    accumulatingOnly.withProcess = false;
    for (const misbehaving::Config& config : {replacingFlagOnly, accumulatingOnly}) {
        auto song = MakeEngineIn(kBadPluginDir);
        ASSERT_TRUE(Load(*song, 0, config));
        EXPECT_EQ(reference, RenderCallbacks(*song, 4)) << config.flags;
    }
}

TEST_F(MisbehavingPluginTest, APluginWithoutAnyProcessFunctionIsRefusedWithTheReason) {
    misbehaving::Config none;
    none.withReplacing = false;
    none.withProcess = false;
    api.configure(&none);
    EXPECT_FALSE(engine->LoadPlugin(0, misbehaving::kLibraryName));
    EXPECT_NE(std::string::npos, engine->LastPluginError().find("processing"));
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
}

} // namespace
} // namespace vantreel::test
