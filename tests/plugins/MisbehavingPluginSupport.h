#pragma once
// The misbehaving plug-in, loaded into an engine like any other: a test sets the
// behaviour, loads it into a slot and reads what the instance saw.

#include "PluginTestSupport.h"
#include "testplugins/bad/MisbehavingControl.h"

namespace vantreel::test {

class MisbehavingPluginTest : public PluginHostTest {
protected:
    misbehaving::Api api =
        misbehaving::Api::Open((kBadPluginDir + "/" + misbehaving::kLibraryName).c_str());

    void SetUp() override {
        PluginHostTest::SetUp();
        ASSERT_TRUE(api.Ok()) << "the misbehaving plug-in was not built in " << kBadPluginDir;
        SetFolder(*engine, kBadPluginDir);
    }

    void TearDown() override { api.stopThreads(); }

    // Loads an instance behaving as `config` into `slot` of `into`.
    ::testing::AssertionResult Load(AudioEngine& into, int slot,
                                    const misbehaving::Config& config) {
        api.configure(&config);
        if (!into.LoadPlugin(slot, misbehaving::kLibraryName)) {
            return ::testing::AssertionFailure() << into.LastPluginError();
        }
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult Load(int slot, const misbehaving::Config& config) {
        return Load(*engine, slot, config);
    }

    misbehaving::Counters CountersOf(const AudioEngine& of, int slot) {
        return api.counters(of.effect[slot]);
    }
    misbehaving::Counters CountersOf(int slot) { return CountersOf(*engine, slot); }

    // The output of a well-behaved two-output instance, to compare the others with.
    std::vector<int16_t> PlainRender(int callbacks);
};

inline std::unique_ptr<AudioEngine> MakeEngineIn(const std::string& folder) {
    auto made = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    SetFolder(*made, folder);
    return made;
}

inline std::vector<int16_t> RenderCallbacks(AudioEngine& engine, int callbacks) {
    std::vector<int16_t> out(size_t(callbacks) * 2 * kCallbackFrames);
    for (int c = 0; c < callbacks; ++c) {
        engine.StreamCallback(out.data() + size_t(c) * 2 * kCallbackFrames, false);
    }
    return out;
}

inline std::vector<int16_t> MisbehavingPluginTest::PlainRender(int callbacks) {
    auto plain = MakeEngineIn(kBadPluginDir);
    EXPECT_TRUE(Load(*plain, 0, misbehaving::Config{}));
    return RenderCallbacks(*plain, callbacks);
}

} // namespace vantreel::test
