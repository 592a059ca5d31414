// Saving and loading the record of a plug-in that reports absurd counts.

#include "MisbehavingPluginSupport.h"

#include <climits>

namespace vantreel::test {
namespace {

// With no parameters there is nothing to set or read per program: the 2^31 - 1
// programs are not stepped through (which took seconds, the save holding the lock).
TEST_F(MisbehavingPluginTest, AHugeProgramCountWithoutParametersIsNotSteppedThrough) {
    misbehaving::Config config;
    config.numPrograms = INT32_MAX;
    config.numParams = 0;
    ASSERT_TRUE(Load(0, config));
    const std::string path = scratch.Path("programs.vpf");
    ASSERT_TRUE(engine->SaveProject(path.c_str()));
    EXPECT_LE(CountersOf(0).setProgramCalls, 2) << "open, and at most one more";

    auto loaded = MakeEngineIn(kBadPluginDir);
    api.configure(&config);
    ASSERT_TRUE(loaded->LoadProject(path.c_str()));
    ASSERT_TRUE(loaded->song.slots[0].IsInstanced());
    EXPECT_LE(CountersOf(*loaded, 0).setProgramCalls, 2) << "open and the stored program";
}

} // namespace
} // namespace vantreel::test
