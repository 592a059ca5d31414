// The files that keep an unsaved song: where they live, which program owns which,
// what a start may offer, and how refused or damaged songs are kept aside.

#include "ProjectTestSupport.h"

#include "support/ScopedEnvironment.h"

#include "song/AutosaveWriter.h"
#include "song/RecoveryFiles.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A program that claims a name, writes its song and dies without cleaning up.
std::string SongOfAProgramThatDied(const std::string& folder, const Bytes& song) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        RecoveryClaim claim(folder);
        WriteBytes(claim.SongPath(), song);
        const std::string path = claim.SongPath();
        (void)!write(pipeEnds[1], path.data(), path.size());
        _exit(0); // no destructor runs: the lock file stays, as after a kill
    }
    close(pipeEnds[1]);
    char path[4096] = {};
    (void)!read(pipeEnds[0], path, sizeof path - 1);
    close(pipeEnds[0]);
    waitpid(child, nullptr, 0);
    return path;
}

time_t At(int year, int month, int day, int hour, int minute, int second) {
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    when.tm_isdst = -1;
    return std::mktime(&when);
}

class RecoveryFilesTest : public ::testing::Test {
protected:
    Scratch scratch;
    std::string folder = scratch.Path("state/vantreel");
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(MakeRecoveryFolder(folder, error)) << error;
    }
};

TEST(RecoveryFolder, FollowsAnAbsoluteStateHomeElseTheHomeFolder) {
    ScopedEnvironment home("HOME", "/home/someone");
    {
        ScopedEnvironment state("XDG_STATE_HOME", "/state");
        EXPECT_EQ("/state/vantreel", RecoveryFolder());
    }
    {
        ScopedEnvironment state("XDG_STATE_HOME", "relative/state");
        EXPECT_EQ("/home/someone/.local/state/vantreel", RecoveryFolder());
    }
    ScopedEnvironment state("XDG_STATE_HOME", std::nullopt);
    EXPECT_EQ("/home/someone/.local/state/vantreel", RecoveryFolder());
    ScopedEnvironment noHome("HOME", std::nullopt);
    EXPECT_EQ("", RecoveryFolder());
}

TEST_F(RecoveryFilesTest, TheFolderIsMadeWithItsParentsAndPrivate) {
    struct stat info {};
    ASSERT_EQ(0, stat(folder.c_str(), &info));
    EXPECT_EQ(0700u, info.st_mode & 0777);
    std::string error;
    EXPECT_TRUE(MakeRecoveryFolder(folder, error)); // already there
    WriteBytes(scratch.Path("file"), {1});
    EXPECT_FALSE(MakeRecoveryFolder(scratch.Path("file/vantreel"), error));
    EXPECT_FALSE(error.empty());
}

TEST_F(RecoveryFilesTest, TwoProgramsClaimDifferentNamesAndNeitherIsOfferedWhileItLives) {
    auto first = std::make_unique<RecoveryClaim>(folder);
    RecoveryClaim second(folder);
    ASSERT_TRUE(first->IsHeld());
    ASSERT_TRUE(second.IsHeld());
    EXPECT_NE(first->SongPath(), second.SongPath());
    WriteBytes(first->SongPath(), {1, 2, 3});
    WriteBytes(second.SongPath(), {4, 5, 6});
    EXPECT_TRUE(FindOrphanedSongs(folder).empty());

    // A clean end lets go of the name but leaves the song for its owner to remove.
    const std::string firstSong = first->SongPath();
    first.reset();
    EXPECT_TRUE(fs::exists(firstSong));
    std::vector<OrphanedSong> orphans = FindOrphanedSongs(folder);
    ASSERT_EQ(1u, orphans.size());
    EXPECT_EQ(firstSong, orphans[0].SongPath());
}

// A dead program with this program's number, whose lock file is already gone.
TEST_F(RecoveryFilesTest, AClaimNeverTakesTheNameOfASongAlreadyThere) {
    std::vector<std::string> taken;
    const std::time_t now = std::time(nullptr);
    for (std::time_t when = now; when <= now + 1; ++when) {
        char stamp[32] = {};
        std::tm local{};
        localtime_r(&when, &local);
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        taken.push_back(folder + "/recovery-" + stamp + "-" + std::to_string(getpid()) + ".vpf");
        WriteBytes(taken.back(), {7});
    }
    RecoveryClaim claim(folder);
    ASSERT_TRUE(claim.IsHeld());
    for (const std::string& song : taken) {
        EXPECT_NE(song, claim.SongPath());
        EXPECT_EQ(Bytes{7}, ReadBytes(song));
    }
    EXPECT_EQ(2u, FindOrphanedSongs(folder).size());
}

TEST_F(RecoveryFilesTest, AKilledProgramsSongIsOfferedToOneStartOnly) {
    const std::string song = SongOfAProgramThatDied(folder, {9, 9, 9});
    ASSERT_FALSE(song.empty());
    std::vector<OrphanedSong> offered = FindOrphanedSongs(folder);
    ASSERT_EQ(1u, offered.size());
    EXPECT_EQ(song, offered[0].SongPath());
    EXPECT_TRUE(FindOrphanedSongs(folder).empty()) << "a second start saw it while it was decided";
    offered.clear(); // decided without moving it: the next start may offer it again
    EXPECT_EQ(1u, FindOrphanedSongs(folder).size());
}

TEST_F(RecoveryFilesTest, NewestSongsComeFirstAndLeftoversWithoutASongAreRemoved) {
    const std::string older = SongOfAProgramThatDied(folder, {1});
    const std::string newer = SongOfAProgramThatDied(folder, {2});
    const timespec times[2] = {{1000000, 0}, {1000000, 0}};
    utimensat(AT_FDCWD, older.c_str(), times, 0);
    // A program that died before its first autosave, mid-write.
    const std::string empty = SongOfAProgramThatDied(folder, {3});
    fs::rename(empty, empty + ".~77-0.tmp");
    RecoveryClaim live(folder); // has no song yet: its lock file must stay

    std::vector<OrphanedSong> offered = FindOrphanedSongs(folder);
    ASSERT_EQ(2u, offered.size());
    EXPECT_EQ(newer, offered[0].SongPath());
    EXPECT_EQ(older, offered[1].SongPath());
    const std::string emptyLock = empty.substr(0, empty.size() - 4) + ".lock";
    EXPECT_FALSE(fs::exists(emptyLock));
    EXPECT_FALSE(fs::exists(empty + ".~77-0.tmp"));
    const std::string liveLock = live.SongPath().substr(0, live.SongPath().size() - 4) + ".lock";
    EXPECT_TRUE(fs::exists(liveLock));
}

TEST_F(RecoveryFilesTest, KeepingAsideMovesToADatedNameAndKeepsTheNewestFive) {
    std::vector<std::string> kept;
    for (int i = 0; i < 7; ++i) {
        const std::string song = scratch.Path("state/vantreel/recovery-x.vpf");
        WriteBytes(song, {uint8_t(i)});
        std::string error;
        // Two in the same second get distinct names that still sort in order.
        kept.push_back(KeepAside(song, At(2026, 12, 9, 14, 1, i / 2), error));
        ASSERT_FALSE(kept.back().empty()) << error;
        EXPECT_FALSE(fs::exists(song));
        EXPECT_EQ(Bytes{uint8_t(i)}, ReadBytes(kept.back()));
    }
    EXPECT_EQ(folder + "/unsaved-2026-12-09-140100.vpf", kept[0]);
    EXPECT_EQ(folder + "/unsaved-2026-12-09-140100-2.vpf", kept[1]);
    const std::vector<std::string> remaining = KeptAsideSongs(folder);
    EXPECT_EQ(std::vector<std::string>(kept.begin() + 2, kept.end()), remaining);
    EXPECT_EQ(5u, Names(folder).size());
}

TEST_F(RecoveryFilesTest, AWriterPutsTheLatestImageOnTheDiskAndRemovesItOnRequest) {
    const std::string song = folder + "/song.vpf";
    {
        AutosaveWriter writer(song);
        writer.Write(Bytes(1000, 1));
        writer.Write(Bytes(2000, 2));
        writer.Finish();
        EXPECT_EQ(Bytes(2000, 2), ReadBytes(song));
        EXPECT_EQ("", writer.LastError());
        writer.Remove();
        writer.Finish();
        EXPECT_FALSE(fs::exists(song));
        writer.Write(Bytes(3, 3));
    } // what was handed over before the end still reaches the disk
    EXPECT_EQ(Bytes(3, 3), ReadBytes(song));
    EXPECT_EQ(std::vector<std::string>{"song.vpf"}, Names(folder)) << "a temporary stayed";
}

TEST_F(RecoveryFilesTest, AWriterThatCannotWriteSaysWhyAndGoesOn) {
    AutosaveWriter writer(folder + "/missing/song.vpf");
    writer.Write(Bytes(10, 1));
    writer.Finish();
    EXPECT_NE("", writer.LastError());
    EXPECT_EQ(1u, writer.Completed());
}

} // namespace
} // namespace vantreel::test
