// The render settings as the settings file gives them, and the slot they keep on the
// audio thread rendering the same as on a worker.

#include "engine/RenderSettings.h"
#include "engine/RenderWorkers.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace vantreel::test {
namespace {

const char* const kSection = "[HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated "
                             "Applications\\Vantreel\\";

std::string WriteSettings(const ScratchFolder& folder, const std::string& text) {
    const std::string path = folder.Path("settings.ini");
    std::ofstream(path) << text;
    return path;
}

TEST(RenderSettingsTest, ThreadsAreReadWhenWholeAndInRangeAndOtherwiseFallBack) {
    ScratchFolder folder;
    const std::pair<const char*, int> cases[] = {
        {"3", 3}, {"1", 1}, {"64", 64}, {"0", 7}, {"65", 7}, {"-2", 7}, {"2x", 7}, {"", 7},
    };
    for (const auto& [text, expected] : cases) {
        RegistryStore store(
            WriteSettings(folder, std::string(kSection) + "Render]\nThreads=" + text + "\n"));
        EXPECT_EQ(StoredRenderThreads(store, 7), expected) << "Threads=" << text;
    }
    RegistryStore none(folder.Path("missing.ini"));
    EXPECT_EQ(StoredRenderThreads(none, 5), 5);
    EXPECT_GE(DefaultWindowRenderThreads(), 1);
    EXPECT_GE(AllCoresRenderThreads(), DefaultWindowRenderThreads());
    EXPECT_LE(AllCoresRenderThreads(), kMaxRenderThreads);
}

TEST(RenderSettingsTest, ALibraryRunsOnTheAudioThreadOnlyWhenSwitchedOn) {
    ScratchFolder folder;
    RegistryStore store(WriteSettings(folder, std::string(kSection) +
                                                  "RunOnAudioThread]\n"
                                                  "Fragile.so=1\n"
                                                  "Other.so=yes\n"
                                                  "Off.so=0\n"
                                                  "lv2:http://example.org/synth=on\n"));
    EXPECT_TRUE(StoredRunOnAudioThread(store, "Fragile.so"));
    EXPECT_TRUE(StoredRunOnAudioThread(store, "fragile.SO")); // names compare as the registry's
    EXPECT_TRUE(StoredRunOnAudioThread(store, "Other.so"));
    EXPECT_TRUE(StoredRunOnAudioThread(store, "lv2:http://example.org/synth"));
    EXPECT_FALSE(StoredRunOnAudioThread(store, "Off.so"));
    EXPECT_FALSE(StoredRunOnAudioThread(store, "Unlisted.so"));
    EXPECT_FALSE(StoredRunOnAudioThread(store, ""));
}

} // namespace
} // namespace vantreel::test
