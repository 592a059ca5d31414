// A save replaces the old file only once the new one is whole on the disk.

#include "ProjectTestSupport.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

int FilesIn(const std::string& folder) {
    return int(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class AtomicSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivatePluginEnvironment(scratch);
        ASSERT_TRUE(engine->LoadPlugin(4, kProbeName));
        ASSERT_TRUE(MakeEngine()->SaveProject(path.c_str())); // the previous file: an empty song
        previous = ReadBytes(path);
        FillSong(*engine, 1);
    }

    Scratch scratch;
    std::string path = scratch.Path("song.vpf");
    std::unique_ptr<AudioEngine> engine = MakeEngine();
    Bytes previous;
};

// The file size limit makes the kernel refuse a write past it, as a full disk would.
TEST_F(AtomicSaveTest, AWriteThatFailsAnywhereLeavesThePreviousFileUntouched) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit normal{};
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &normal));
    for (rlim_t limit :
         {rlim_t(0), rlim_t(1), rlim_t(4095), rlim_t(1) << 20, rlim_t(previous.size() - 1)}) {
        rlimit small = normal;
        small.rlim_cur = limit;
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
        const bool saved = engine->SaveProject(path.c_str());
        ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &normal));
        EXPECT_FALSE(saved) << "limit " << limit;
        EXPECT_EQ(previous, ReadBytes(path)) << "limit " << limit;
        EXPECT_EQ(1, FilesIn(scratch.Folder())) << "a temporary file was left behind";
    }
    ASSERT_TRUE(engine->SaveProject(path.c_str()));
    EXPECT_NE(previous, ReadBytes(path));
}

TEST_F(AtomicSaveTest, ATargetThatCannotBeReplacedFailsWithoutLeavingAnything) {
    const std::string folder = scratch.Path("taken.vpf");
    fs::create_directory(folder);
    EXPECT_FALSE(engine->SaveProject(folder.c_str()));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(2, FilesIn(scratch.Folder()));
    EXPECT_FALSE(engine->SaveProject(scratch.Path("no/such/folder/song.vpf").c_str()));
    // The reason goes to the reporter, where the window can find it.
    EXPECT_EQ(engine->reporter.LastFailure().rfind("Could not save ", 0), 0u)
        << engine->reporter.LastFailure();
}

TEST_F(AtomicSaveTest, AReplacedFileKeepsItsPermissionsAndSymbolicLinksStay) {
    ASSERT_EQ(0, chmod(path.c_str(), 0640));
    const std::string link = scratch.Path("link.vpf");
    fs::create_symlink(path, link);
    ASSERT_TRUE(engine->SaveProject(link.c_str()));
    EXPECT_TRUE(fs::is_symlink(link));
    struct stat info {};
    ASSERT_EQ(0, stat(path.c_str(), &info));
    EXPECT_EQ(0640u, info.st_mode & 0777);
    EXPECT_NE(previous, ReadBytes(path));
}

} // namespace
} // namespace vantreel::test
