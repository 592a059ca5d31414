#pragma once
// What the LV2 tests share: an LV2 path of our probe's bundle folder and Debian's
// LV2 folder, the probe's log, and the URIs of the real instruments.

#include "PluginTestSupport.h"
#include "plugins/Lv2Name.h"
#include "testplugins/lv2probe/Lv2ProbeLog.h"

#include <filesystem>
#include <string>

namespace vantreel::test {

inline const std::string kOwnLv2Dir = VANTREEL_LV2_OUTPUT_DIR;
inline const std::string kSystemLv2Dir = "/usr/lib/lv2";
inline const std::string kProbeLv2Name = Lv2NameFor(lv2probe::kProbeUri);
inline const std::string kProbeLv2Library =
    kOwnLv2Dir + "/" + lv2probe::kBundleName + "/" + lv2probe::kLibraryName;

inline const std::string kKarsUri = "http://distrho.sf.net/plugins/Kars";
inline const std::string kNekobiUri = "http://distrho.sf.net/plugins/Nekobi";
inline const std::string kSynthv1Uri = "http://synthv1.sourceforge.net/lv2";
inline const std::string kDrumkv1Uri = "http://drumkv1.sourceforge.net/lv2";

inline bool SystemBundleInstalled(const char* bundle) {
    return std::filesystem::exists(kSystemLv2Dir + "/" + bundle);
}

// A plug-in host test whose LV2 path holds our probe's bundle and Debian's bundles.
class Lv2HostTest : public PluginHostTest {
protected:
    ScopedEnvironment lv2Path{"LV2_PATH", kOwnLv2Dir + ":" + kSystemLv2Dir};
    // synthv1 and drumkv1 start a Qt application of their own when the host has none;
    // without a display it must be one that needs none.
    ScopedEnvironment qtPlatform{"QT_QPA_PLATFORM", "offscreen"};
    lv2probe::Lv2ProbeApi lv2Probe = lv2probe::Lv2ProbeApi::Open(kProbeLv2Library.c_str());

    void SetUp() override {
        PluginHostTest::SetUp();
        ASSERT_TRUE(lv2Probe.Ok()) << "the LV2 probe was not built in " << kProbeLv2Library;
    }

    // Loads the probe into `slot` and returns its log.
    lv2probe::Lv2ProbeLog* LoadProbe(int slot) {
        if (!engine->LoadPlugin(slot, kProbeLv2Name.c_str())) {
            ADD_FAILURE() << engine->LastPluginError();
            return nullptr;
        }
        return lv2Probe.Newest();
    }
};

} // namespace vantreel::test
