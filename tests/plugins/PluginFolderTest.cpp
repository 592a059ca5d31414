// Where plug-ins are looked for and what the browser lists: the search path from the
// settings file and the environment, the folder lookup with its fallback, and listing
// through subfolders and links.

#include "PluginTestSupport.h"
#include "engine/PluginCommands.h"
#include "plugins/PluginListing.h"
#include "plugins/PluginSearchPath.h"

#include <algorithm>

namespace vantreel::test {
namespace {

using Strings = std::vector<std::string>;

class PluginFolderTest : public PluginHostTest {
protected:
    void WriteSettings(const std::string& contents) {
        scratch.WriteFile("config/vantreel/settings.ini", contents);
    }
};

TEST_F(PluginFolderTest, SearchPathIsStoreThenVstPathThenOwnFolder) {
    WriteSettings("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\nVSTPluginsPath=string:/opt/vst\n");
    ScopedEnvironment path("VST_PATH", "/a/vst::/b/vst");
    EXPECT_EQ(PluginSearchPath(), (Strings{"/opt/vst", "/a/vst", "/b/vst", kOwnPluginDir}));
}

TEST_F(PluginFolderTest, WithoutVstPathTheUsualFoldersAreSearched) {
    ScopedEnvironment path("VST_PATH", std::nullopt);
    ScopedEnvironment home("HOME", "/home/someone");
    EXPECT_EQ(PluginSearchPath(),
              (Strings{"/home/someone/.vst", "/usr/lib/vst", "/usr/local/lib/vst", kOwnPluginDir}));
}

TEST_F(PluginFolderTest, OnlyAStringValueInTheStoreCounts) {
    ScopedEnvironment path("VST_PATH", "/a/vst");
    WriteSettings("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\nVSTPluginsPath=number:12\n");
    EXPECT_EQ(PluginSearchPath(), (Strings{"/a/vst", kOwnPluginDir}));
    // The same value under the current user's root is not the shared setting.
    WriteSettings("[HKEY_CURRENT_USER\\SOFTWARE\\VST]\nVSTPluginsPath=/opt/vst\n");
    EXPECT_EQ(PluginSearchPath(), (Strings{"/a/vst", kOwnPluginDir}));
}

TEST_F(PluginFolderTest, LookupTakesTheFirstExistingFolderThatFits) {
    ScratchFolder folders;
    const std::string real = folders.MakeFolder("real");
    const std::string longName = folders.MakeFolder(std::string(70, 'x'));
    bool shown = false;
    engine->reporter.SetHandler([&](const UserMessage&) { shown = true; });

    EXPECT_TRUE(LocatePluginFolder(*engine, {"/nonexistent/vst", longName, real}));
    EXPECT_EQ(std::string(engine->pluginFolder), real);
    EXPECT_FALSE(shown);

    // Through the settings file, as the browser does.
    WriteSettings("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\nVSTPluginsPath=" + real + "\n");
    SetFolder(*engine, "elsewhere");
    EXPECT_TRUE(LocatePluginFolder(*engine));
    EXPECT_EQ(std::string(engine->pluginFolder), real);
}

TEST_F(PluginFolderTest, WithNoFolderTheFallbackIsVstWithOneMessage) {
    std::vector<UserMessage> shown;
    engine->reporter.SetHandler([&](const UserMessage& m) { shown.push_back(m); });

    EXPECT_FALSE(LocatePluginFolder(*engine, {"/nonexistent/one", "/nonexistent/two"}));
    EXPECT_STREQ(engine->pluginFolder, "VST");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Failed to locate VST directory from the registry, using \\VST "
                             "from running path directory by default");
    EXPECT_EQ(shown[0].caption, "Vantreel");
    EXPECT_EQ(shown[0].icon, MessageIcon::Error);
}

TEST_F(PluginFolderTest, AFolderThatDoesNotFitIsRefusedNotCut) {
    const std::string fits(63, 'f');
    EXPECT_TRUE(SetPluginFolder(*engine, fits));
    EXPECT_EQ(std::string(engine->pluginFolder), fits);
    EXPECT_FALSE(SetPluginFolder(*engine, std::string(64, 'l')));
    EXPECT_EQ(std::string(engine->pluginFolder), fits);
}

// A folder with plug-ins at the top, in a packaged subfolder, behind a link to a
// folder elsewhere, plus a link cycle, a broken link and files that are not plug-ins.
TEST_F(PluginFolderTest, ListingFollowsSubfoldersAndLinksOnce) {
    ScratchFolder tree;
    tree.WriteFile("main/b.so", "");
    tree.WriteFile("main/A.SO", "");
    tree.WriteFile("main/notes.txt", "");
    tree.WriteFile("main/so", "");
    tree.WriteFile("main/Pack.vst/Pack.so", "");
    tree.WriteFile("elsewhere/Linked.so", "");
    tree.Link(tree.Path("elsewhere"), "main/linked");
    tree.Link(tree.Path("main"), "main/Pack.vst/cycle");
    tree.Link(tree.Path("missing.so"), "main/broken.so");
    tree.Link(tree.Path("main/b.so"), "main/alias.so");

    EXPECT_EQ(PluginFilesIn(tree.Path("main")),
              (Strings{"A.SO", "Pack.vst/Pack.so", "alias.so", "b.so", "linked/Linked.so"}));
    EXPECT_TRUE(PluginFilesIn(tree.Path("nonexistent")).empty());
}

TEST_F(PluginFolderTest, ListingPutsThePluginFolderFirstAndNamesEachFileOnce) {
    ScratchFolder tree;
    tree.WriteFile("first/m.so", "");
    tree.WriteFile("first/z.so", "");
    tree.WriteFile("second/a.so", "");
    tree.WriteFile("second/z.so", "");
    tree.WriteFile("third/b.so", "");
    EXPECT_EQ(ListPluginFiles(tree.Path("first"),
                              {tree.Path("second"), tree.Path("first"), tree.Path("third")}),
              (Strings{"m.so", "z.so", "a.so", "b.so"}));
}

TEST_F(PluginFolderTest, BrowserListShowsOurPluginsAndTheSystemOnes) {
    ScopedEnvironment path("VST_PATH", kSystemPluginDir);
    const Strings listed = ListPlugins(*engine);
    const Strings own = PluginFilesIn(kOwnPluginDir);
    ASSERT_GE(listed.size(), own.size());
    EXPECT_EQ(Strings(listed.begin(), listed.begin() + own.size()), own);
    const auto has = [&](const std::string& name) {
        return std::find(listed.begin(), listed.end(), name) != listed.end();
    };
    EXPECT_TRUE(has(kProbeName));
    EXPECT_TRUE(has(kSynthName));
    if (IsFolder(kSystemPluginDir + "/ProM.vst")) {
        EXPECT_TRUE(has("ProM.vst/ProM.so"));
    }
    if (IsFolder(kSystemPluginDir)) {
        EXPECT_TRUE(has("Kars-vst.so"));
    }
}

} // namespace
} // namespace vantreel::test
