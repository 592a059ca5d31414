// The autosave: the image it writes is the saved project to the byte, it writes only
// changed songs and at most once per interval, and what is left at exit depends on
// whether anything is unsaved.

#include "ProjectTestSupport.h"

#include "support/ScopedEnvironment.h"

#include "engine/Autosave.h"

#include <filesystem>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class AutosaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivatePluginEnvironment(scratch);
        ASSERT_TRUE(engine->LoadPlugin(2, kProbeName));
        SetPluginValues(*engine, 2, 7);
        FillSong(*engine, 3);
    }
    Bytes Autosaved() {
        autosave.Writer().Finish();
        return ReadBytes(song);
    }

    Scratch scratch;
    std::string song = scratch.Path("recovery.vpf");
    std::unique_ptr<AudioEngine> engine = MakeEngine();
    Autosave autosave{*engine, song, 30s};
    AutosaveClock::time_point start = AutosaveClock::now();
};

TEST_F(AutosaveTest, TheImageIsTheSavedProjectByteForByteAndLoadsAsTheSameSong) {
    ProjectImage image;
    ASSERT_TRUE(engine->BuildProjectImage(image));
    ASSERT_TRUE(engine->SaveProject(scratch.Path("saved.vpf").c_str()));
    EXPECT_EQ(ReadBytes(scratch.Path("saved.vpf")), image.bytes);

    engine->modified.Mark();
    ASSERT_TRUE(autosave.Tick(start));
    EXPECT_EQ(image.bytes, Autosaved());
    auto restored = MakeEngine();
    ASSERT_TRUE(restored->LoadProject(song.c_str()));
    ExpectSameSong(*engine, *restored);
}

TEST_F(AutosaveTest, OnlyAChangedSongIsWrittenAndAtMostOncePerInterval) {
    EXPECT_FALSE(autosave.Tick(start)) << "nothing unsaved";
    EXPECT_FALSE(fs::exists(song));

    engine->modified.Mark();
    EXPECT_TRUE(autosave.Tick(start)); // the first change need not wait
    EXPECT_FALSE(autosave.Tick(start + 40s)) << "unchanged since the last image";

    engine->song.slots[0].patterns[0].SetCell(5, 5, {0x90, 60, 100, 0});
    engine->modified.Mark();
    EXPECT_FALSE(autosave.Tick(start + 29s));
    EXPECT_NE(Bytes{}, Autosaved());
    EXPECT_TRUE(autosave.Tick(start + 30s));
    auto restored = MakeEngine();
    ASSERT_TRUE(restored->LoadProject(song.c_str()));
    EXPECT_EQ((EventCell{0x90, 60, 100, 0}), restored->song.slots[0].patterns[0].Cell(5, 5));

    // Saved: the image would only mislead a restore now.
    engine->modified.Clear();
    autosave.Tick(start + 31s);
    autosave.Writer().Finish();
    EXPECT_FALSE(fs::exists(song));
}

TEST_F(AutosaveTest, AnExitWithUnsavedChangesKeepsTheLatestOfThemAndACleanExitLeavesNothing) {
    engine->modified.Mark();
    ASSERT_TRUE(autosave.Tick(start));
    engine->song.settings.masterVolume = 1234;
    engine->modified.Mark(); // too soon for the timer; the exit must not lose it
    autosave.Close();
    auto restored = MakeEngine();
    ASSERT_TRUE(restored->LoadProject(song.c_str()));
    EXPECT_EQ(1234, restored->song.settings.masterVolume);

    Autosave later(*engine, song, 30s);
    engine->modified.Clear();
    later.Close();
    EXPECT_FALSE(fs::exists(song));
}

TEST_F(AutosaveTest, ADamagedRecoveryFileIsRefusedBeforeTheSongIsTouched) {
    engine->modified.Mark();
    ASSERT_TRUE(autosave.Tick(start));
    Bytes bytes = Autosaved();
    bytes.resize(bytes.size() / 3); // cut short, as a full disk might have left it
    WriteBytes(song, bytes);
    std::string problem;
    EXPECT_FALSE(engine->CheckProjectFile(song.c_str(), problem));
    EXPECT_NE(std::string::npos, problem.find("damaged")) << problem;
    EXPECT_NE(nullptr, engine->LivePlugin(2)) << "the song in memory was touched";
    EXPECT_TRUE(engine->CheckProjectFile(scratch.Path("none.vpf").c_str(), problem) == false);
}

TEST(AutosaveInterval, TakesWholePositiveSecondsFromTheEnvironmentElseThirty) {
    {
        ScopedEnvironment set(kAutosaveIntervalVariable, "2");
        EXPECT_EQ(2s, AutosaveInterval());
    }
    for (const char* bad : {"", "0", "-5", "1.5", "soon"}) {
        ScopedEnvironment set(kAutosaveIntervalVariable, bad);
        EXPECT_EQ(30s, AutosaveInterval()) << bad;
    }
    ScopedEnvironment unset(kAutosaveIntervalVariable, std::nullopt);
    EXPECT_EQ(30s, AutosaveInterval());
}

} // namespace
} // namespace vantreel::test
