// Files that are no project, or a damaged one, are refused before the song in memory
// is touched; names of plug-ins in subfolders load back; settings that would run a
// render away are limited.

#include "ProjectTestSupport.h"

#include <filesystem>

namespace vantreel::test {
namespace {

constexpr const char* kRefusal = " is not a Vantreel project, or is damaged; nothing was changed";

class ProjectCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivatePluginEnvironment(scratch);
        messages.Attach(*engine);
        ASSERT_TRUE(engine->LoadPlugin(2, kSynthName));
        FillSong(*engine, 21);
        ASSERT_TRUE(engine->SaveProject(scratch.Path("song.vpf").c_str()));
        song = ReadBytes(scratch.Path("song.vpf"));
    }

    // Opens `bytes` as a file in the engine holding the song: it must be refused, say
    // so, and leave every byte of the song as it was.
    void ExpectRefused(const std::string& name, const Bytes& bytes) {
        SCOPED_TRACE(name);
        const std::string path = scratch.Path(name);
        WriteBytes(path, bytes);
        messages.messages.clear();
        EXPECT_FALSE(engine->LoadProject(path.c_str()));
        ASSERT_EQ(1u, messages.messages.size());
        EXPECT_EQ(path + kRefusal, messages.messages[0].text);
        EXPECT_TRUE(engine->song.slots[2].IsInstanced());
        ASSERT_TRUE(engine->SaveProject(scratch.Path("after.vpf").c_str()));
        EXPECT_EQ(song, ReadBytes(scratch.Path("after.vpf")));
    }

    Scratch scratch;
    std::unique_ptr<AudioEngine> engine = MakeEngine();
    MessageLog messages;
    Bytes song;
};

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST_F(ProjectCheckTest, ATextFileAnEmptyFileAndACutProjectChangeNothing) {
    std::string text;
    while (text.size() < 4u << 20) { // as long as a project, so only its content gives it away
        text += "These are the notes for the next song; nothing here is a project.\n";
    }
    ExpectRefused("notes.txt", Text(text));
    ExpectRefused("empty.vpf", {});
    ExpectRefused("head-only.vpf", Bytes(song.begin(), song.begin() + kSongHeadSize));
    ExpectRefused("half.vpf", Bytes(song.begin(), song.begin() + song.size() / 2));
    // Cut a little before the end: a file without its end has lost its extension too.
    ExpectRefused("short.vpf", Bytes(song.begin(), song.end() - (song.size() - kEmptyProjectSize)));
}

TEST_F(ProjectCheckTest, ValuesOutOfRangeInTheFixedPartMakeItNoProject) {
    auto damaged = [&](std::size_t at, int32_t value) {
        Bytes bytes = song;
        PutI32(bytes, at, value);
        return bytes;
    };
    for (int32_t rate : {0, -44100, 7999, 384001, 2037194853}) {
        ExpectRefused("rate.vpf", damaged(8, rate));
    }
    for (int32_t volume : {-1, 32769, INT32_MAX}) {
        ExpectRefused("volume.vpf", damaged(12, volume));
    }
    Bytes flag = song;
    flag[kSongHeadSize] = 2; // slot 0's flag: neither empty nor a plug-in record
    ExpectRefused("flag.vpf", flag);
    // Slot 2's library name without its terminator.
    Bytes name = song;
    const std::size_t nameAt = kSongHeadSize + 2 * kEmptySlotRecordSize + 1;
    ASSERT_EQ(0, std::memcmp(&name[nameAt], kSynthName, std::strlen(kSynthName)));
    std::memset(&name[nameAt], 'x', kPluginNameSize);
    ExpectRefused("name.vpf", name);
    // The same without the extension, which alone knew the record sizes.
    const std::size_t base =
        std::search(name.begin(), name.end(), "VNTRLEXT", "VNTRLEXT" + 8) - name.begin();
    name.resize(base);
    ExpectRefused("legacy-name.vpf", name);
}

TEST_F(ProjectCheckTest, AFileThatCannotBeOpenedSaysWhyAndChangesNothing) {
    messages.messages.clear();
    const std::string path = scratch.Path("nowhere.vpf");
    EXPECT_FALSE(engine->LoadProject(path.c_str()));
    ASSERT_EQ(1u, messages.messages.size());
    EXPECT_EQ("Could not open " + path + ": No such file or directory", messages.messages[0].text);
    EXPECT_TRUE(engine->song.slots[2].IsInstanced());
}

TEST_F(ProjectCheckTest, APluginInASubfolderSavesAndOpensBack) {
    const std::string folder = scratch.Path("plugins");
    std::filesystem::create_directories(folder + "/vendor");
    std::filesystem::copy_file(kPluginDir + "/" + kSynthName, folder + "/vendor/Synth.so");
    ASSERT_LT(folder.size(), std::size_t(kTextSize));
    std::strcpy(engine->pluginFolder, folder.c_str());
    ASSERT_TRUE(engine->LoadPlugin(4, "vendor/Synth.so")) << engine->LastPluginError();
    SetPluginValues(*engine, 4, 3);
    const std::string path = scratch.Path("sub.vpf");
    ASSERT_TRUE(engine->SaveProject(path.c_str()));

    auto loaded = MakeEngine();
    std::strcpy(loaded->pluginFolder, folder.c_str());
    MessageLog log;
    log.Attach(*loaded);
    ASSERT_TRUE(loaded->LoadProject(path.c_str()));
    EXPECT_TRUE(log.messages.empty());
    EXPECT_TRUE(loaded->song.slots[4].IsInstanced());
    EXPECT_STREQ("vendor/Synth.so", loaded->song.slots[4].dllName);
    ExpectSameSong(*engine, *loaded);
    ASSERT_TRUE(loaded->SaveProject(scratch.Path("again.vpf").c_str()));
    EXPECT_EQ(ReadBytes(path), ReadBytes(scratch.Path("again.vpf")));
}

TEST_F(ProjectCheckTest, NamesOutsideThePluginFoldersAreMissingPlugins) {
    const std::size_t nameAt = kSongHeadSize + 2 * kEmptySlotRecordSize + 1;
    for (const char* name : {"/usr/lib/vst/x.so", "../VantreelSynth.so", "vendor/../../x.so"}) {
        SCOPED_TRACE(name);
        Bytes bytes = song;
        std::memset(&bytes[nameAt], 0, kPluginNameSize);
        std::memcpy(&bytes[nameAt], name, std::strlen(name));
        const std::string path = scratch.Path("outside.vpf");
        WriteBytes(path, bytes);
        auto loaded = MakeEngine();
        MessageLog log;
        log.Attach(*loaded);
        EXPECT_FALSE(loaded->LoadProject(path.c_str()));
        EXPECT_EQ(1, log.Count("Vantreel - Missing DLL"));
        EXPECT_FALSE(loaded->song.slots[2].IsInstanced());
    }
}

TEST_F(ProjectCheckTest, ASongEndOrLineLengthThatWouldRunARenderAwayIsLimitedWithAMessage) {
    const auto base = std::size_t(
        std::search(song.begin(), song.end(), "VNTRLEXT", "VNTRLEXT" + 8) - song.begin());
    struct Case {
        std::size_t at;
        int32_t stored;
        int32_t used;
        const char* said;
    };
    const Case cases[] = {
        {4, INT32_MAX - 5, kArrangementLines, "song end"},
        {4, -7, 0, "song end"},
        {base - 4, INT32_MAX, kMaxLineLength, "line length"},
        {base - 4, 0, kMinLineLength, "line length"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Bytes bytes = song;
        PutI32(bytes, c.at, c.stored);
        const std::string path = scratch.Path("limits.vpf");
        WriteBytes(path, bytes);
        auto loaded = MakeEngine();
        MessageLog log;
        log.Attach(*loaded);
        EXPECT_TRUE(loaded->LoadProject(path.c_str()));
        EXPECT_TRUE(log.Mentions(c.said));
        EXPECT_TRUE(log.Mentions(std::to_string(c.stored)));
        const SongSettings& s = loaded->song.settings;
        EXPECT_EQ(c.used,
                  std::string(c.said) == "song end" ? s.songEnd.load() : s.lineLength.load());
    }
}

} // namespace
} // namespace vantreel::test
