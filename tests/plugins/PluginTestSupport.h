#pragma once
// What the plug-in hosting tests share: an engine without an output thread, where our
// plug-ins were built, a private environment (settings file, VST_PATH) so that the
// machine's own settings never steer a test, and scratch folders.

#include "engine/AudioEngine.h"
#include "support/ScopedEnvironment.h"
#include "support/ScratchFolder.h"
#include "testplugins/probe/ProbeLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantreel::test {

inline const std::string kOwnPluginDir = VANTREEL_PLUGIN_OUTPUT_DIR;
inline const std::string kBadPluginDir = std::string(VANTREEL_BINARY_DIR) + "/testplugins-bad";
inline const std::string kSystemPluginDir = "/usr/lib/vst";
constexpr const char* kProbeName = "VantreelProbe.so";
constexpr const char* kSynthName = "VantreelSynth.so";

inline void SetFolder(AudioEngine& engine, const std::string& folder) {
    ASSERT_LT(folder.size(), size_t(kTextSize)) << folder;
    std::memset(engine.pluginFolder, 0, sizeof engine.pluginFolder);
    std::memcpy(engine.pluginFolder, folder.data(), folder.size());
}

inline std::string SlotName(const AudioEngine& engine, int slot) {
    char text[kTextSize];
    engine.GetSlotName(slot, text);
    return text;
}

// An engine whose plug-in folder is our own build output, in an environment of its
// own: an empty settings file and a VST_PATH naming only an empty folder.
class PluginHostTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ScopedEnvironment config{"XDG_CONFIG_HOME", scratch.MakeFolder("config")};
    ScopedEnvironment vstPath{"VST_PATH", scratch.MakeFolder("shared")};
    std::unique_ptr<AudioEngine> engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    probe::ProbeApi probe = probe::ProbeApi::Open((kOwnPluginDir + "/" + kProbeName).c_str());

    void SetUp() override {
        SetFolder(*engine, kOwnPluginDir);
        ASSERT_TRUE(probe.Ok()) << "the probe plug-in was not built in " << kOwnPluginDir;
    }

    // The probe log of the slot's instance; null when it holds no probe.
    probe::ProbeLog* LogOf(int slot) { return probe.log(engine->effect[slot]); }

    std::vector<int16_t> Render(int callbacks) {
        std::vector<int16_t> out(size_t(callbacks) * 2 * kCallbackFrames);
        for (int c = 0; c < callbacks; ++c) {
            engine->StreamCallback(out.data() + size_t(c) * 2 * kCallbackFrames, false);
        }
        return out;
    }
};

} // namespace vantreel::test
