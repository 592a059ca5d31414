// The settings store over its file: roots, keys, typed values, and the defaults given
// for everything that is missing, of another type or too long.

#include "settings/RegistryStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace vantreel {
namespace {

namespace fs = std::filesystem;

class RegistryStoreTest : public ::testing::Test {
protected:
    fs::path folder;
    std::string file;

    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vantreel-store-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        file = (folder / "settings.ini").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    void Write(const std::string& contents) { std::ofstream(file, std::ios::binary) << contents; }

    // A store on the file with the VST key open under the local machine.
    RegistryStore VstStore() {
        RegistryStore store(file);
        EXPECT_TRUE(store.SetRootKey(RootKey::LocalMachine));
        EXPECT_TRUE(store.OpenKey("SOFTWARE\\VST", false));
        return store;
    }
};

TEST_F(RegistryStoreTest, StartsAtTheCurrentUserWithNoKey) {
    RegistryStore store(file);
    EXPECT_EQ(store.Root(), RootKey::CurrentUser);
    EXPECT_EQ(store.CurrentKey(), "");
    EXPECT_EQ(store.LastResult(), kStoreOk);
}

TEST_F(RegistryStoreTest, OnlyTheFourRootsAreAccepted) {
    RegistryStore store(file);
    EXPECT_FALSE(store.SetRootKey(static_cast<RootKey>(42)));
    EXPECT_EQ(store.Root(), RootKey::CurrentUser);
    EXPECT_TRUE(store.SetRootKey(RootKey::Users));
    EXPECT_FALSE(store.SetRootKey(static_cast<RootKey>(0x80000004u)));
    EXPECT_EQ(store.Root(), RootKey::Users);
    for (RootKey root : {RootKey::ClassesRoot, RootKey::CurrentUser, RootKey::LocalMachine}) {
        EXPECT_TRUE(store.SetRootKey(root));
    }
}

TEST_F(RegistryStoreTest, OpenKeyWithoutCreateNeedsTheKey) {
    Write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST\\Extra]\n");
    RegistryStore store(file);
    store.SetRootKey(RootKey::LocalMachine);
    EXPECT_TRUE(store.OpenKey("software\\vst", false)); // names ignore case
    EXPECT_EQ(store.CurrentKey(), "software\\vst");     // a parent of a key exists too
    EXPECT_FALSE(store.OpenKey("SOFTWARE\\Other", false));
    EXPECT_EQ(store.LastResult(), kStoreNotFound);
    EXPECT_EQ(store.CurrentKey(), "software\\vst"); // unchanged on failure
    EXPECT_TRUE(store.OpenKey("", false));
    EXPECT_EQ(store.CurrentKey(), "");

    store.SetRootKey(RootKey::CurrentUser); // same path, other root
    EXPECT_FALSE(store.OpenKey("SOFTWARE\\VST", false));
}

TEST_F(RegistryStoreTest, MissingFileOpensNothing) {
    RegistryStore store((folder / "absent.ini").string());
    EXPECT_FALSE(store.OpenKey("SOFTWARE\\VST", false));
    EXPECT_EQ(store.ReadString("VSTPluginsPath", "VST"), "VST");
}

TEST_F(RegistryStoreTest, OpenKeyWithCreateAddsTheKeyAndTheFile) {
    const std::string nested = (folder / "sub" / "dir" / "settings.ini").string();
    RegistryStore store(nested);
    EXPECT_TRUE(store.OpenKey("Software\\Vantreel", true));
    EXPECT_TRUE(fs::exists(nested));
    RegistryStore again(nested);
    EXPECT_TRUE(again.OpenKey("Software\\Vantreel", false));
    EXPECT_TRUE(again.OpenKey("Software\\Vantreel", true)); // no second section
    std::ifstream in(nested);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.find("Vantreel]"), text.rfind("Vantreel]"));

    RegistryStore unwritable("/proc/vantreel/settings.ini");
    EXPECT_FALSE(unwritable.OpenKey("Software", true));
    EXPECT_EQ(unwritable.LastResult(), kStoreAccessDenied);
    EXPECT_EQ(unwritable.CurrentKey(), "");
}

TEST_F(RegistryStoreTest, ReadStringGivesStringsAndDefaultsForEverythingElse) {
    Write("; a comment\n"
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\n"
          "VSTPluginsPath = string:/usr/lib/vst\n"
          "Expanded=expandable:$HOME/.vst\n"
          "Plain=/opt/vst:with colon\n"
          "Count=number:12\n"
          "Empty=string:\n"
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
          "Elsewhere=string:no\n");
    RegistryStore store = VstStore();
    EXPECT_EQ(store.ReadString("vstpluginspath", "VST"), "/usr/lib/vst");
    EXPECT_EQ(store.ReadString("Expanded", "VST"), "$HOME/.vst"); // read as it stands
    EXPECT_EQ(store.ReadString("Plain", "VST"), "/opt/vst:with colon");
    EXPECT_EQ(store.ReadString("Count", "VST"), "VST");
    EXPECT_EQ(store.ReadString("Empty", "VST"), "");
    EXPECT_EQ(store.ReadString("Elsewhere", "VST"), "VST");
    EXPECT_EQ(store.ReadString("Missing", "VST"), "VST");
    EXPECT_EQ(store.LastResult(), kStoreNotFound);
}

TEST_F(RegistryStoreTest, TextsBeyond255BytesGiveTheDefault) {
    const std::string longest(255, 'a');
    Write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\nFits=" + longest + "\nTooLong=" + longest + "b\n");
    RegistryStore store = VstStore();
    EXPECT_EQ(store.ReadString("Fits", "VST"), longest);
    EXPECT_EQ(store.ReadString("TooLong", "VST"), "VST");
    EXPECT_EQ(store.LastResult(), kStoreMoreData);
}

TEST_F(RegistryStoreTest, EveryReadSeesTheFileAsItIsNow) {
    Write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\nVSTPluginsPath=/first\n");
    RegistryStore store = VstStore();
    EXPECT_EQ(store.ReadString("VSTPluginsPath", "VST"), "/first");
    Write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\nVSTPluginsPath=/second\n");
    EXPECT_EQ(store.ReadString("VSTPluginsPath", "VST"), "/second");
    Write("");
    EXPECT_EQ(store.ReadString("VSTPluginsPath", "VST"), "VST");
    EXPECT_EQ(store.LastResult(), kStoreNotFound);
}

class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name(name) {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        Set(value);
    }
    ~ScopedVariable() { Set(previous); }

private:
    void Set(const std::optional<std::string>& value) {
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    const char* name;
    std::optional<std::string> previous;
};

TEST(DefaultSettingsFileTest, FollowsTheUsersConfigurationFolder) {
    ScopedVariable home("HOME", "/home/someone");
    {
        ScopedVariable config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(DefaultSettingsFile(), "/cfg/vantreel/settings.ini");
    }
    {
        ScopedVariable config("XDG_CONFIG_HOME", "relative/cfg"); // not a valid setting
        EXPECT_EQ(DefaultSettingsFile(), "/home/someone/.config/vantreel/settings.ini");
    }
    ScopedVariable config("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(DefaultSettingsFile(), "/home/someone/.config/vantreel/settings.ini");
    ScopedVariable noHome("HOME", std::nullopt);
    EXPECT_EQ(DefaultSettingsFile(), "");
}

} // namespace
} // namespace vantreel

namespace vantreel {
namespace {

class RegistryStoreWriteTest : public RegistryStoreTest {
protected:
    std::string Contents() {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(RegistryStoreWriteTest, WrittenStringsAreReadBackAndReplacedInPlace) {
    Write("; kept\n[HKEY_CURRENT_USER\\Software\\Audio]\nSystem=string:alsa\nOther=7\n\n"
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]\nVSTPluginsPath=/x\n");
    RegistryStore store(file);
    ASSERT_TRUE(store.OpenKey("Software\\Audio", false));
    EXPECT_TRUE(store.WriteString("system", "jack"));
    EXPECT_TRUE(store.WriteString("Device", "system"));
    EXPECT_EQ(store.ReadString("System", ""), "jack");
    EXPECT_EQ(store.ReadString("Device", ""), "system");
    EXPECT_EQ(store.ReadString("Other", ""), "7");
    EXPECT_EQ(VstStore().ReadString("VSTPluginsPath", ""), "/x");
    const std::string text = Contents();
    EXPECT_EQ(text.find("; kept\n"), 0u);
    EXPECT_EQ(text.find("alsa"), std::string::npos);
    // The new value sits in its own section, before the next one.
    EXPECT_LT(text.find("Device=string:system"), text.find("[HKEY_LOCAL_MACHINE"));
}

TEST_F(RegistryStoreWriteTest, AKeyCreatedInAMissingFileHoldsTheValue) {
    RegistryStore store((folder / "sub" / "settings.ini").string());
    ASSERT_TRUE(store.OpenKey("Software\\Vantreel\\Audio", true));
    EXPECT_TRUE(store.WriteString("BufferFrames", "256"));
    RegistryStore again((folder / "sub" / "settings.ini").string());
    ASSERT_TRUE(again.OpenKey("Software\\Vantreel\\Audio", false));
    EXPECT_EQ(again.ReadString("BufferFrames", "2048"), "256");
}

TEST_F(RegistryStoreWriteTest, UnsafeWritesAreRefusedAndLeaveTheFile) {
    Write("[HKEY_CURRENT_USER\\Software\\Audio]\nSystem=string:alsa\n");
    RegistryStore store(file);
    EXPECT_FALSE(store.WriteString("System", "jack")) << "no key is open";
    ASSERT_TRUE(store.OpenKey("Software\\Audio", false));
    EXPECT_FALSE(store.WriteString("System", "jack\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\VST]"));
    EXPECT_EQ(store.LastResult(), kStoreAccessDenied);
    EXPECT_FALSE(store.WriteString("System", std::string(kMaxStoreTextLength + 1, 'a')));
    EXPECT_EQ(Contents(), "[HKEY_CURRENT_USER\\Software\\Audio]\nSystem=string:alsa\n");
    RegistryStore nowhere("/proc/no-such-folder/settings.ini");
    EXPECT_FALSE(nowhere.OpenKey("Software\\Audio", false));
}

} // namespace
} // namespace vantreel
