// The real program on a private Xvfb display, killed with SIGKILL after edits and
// started again: Yes to the restore question brings the song back as it was at the
// last autosave (cells, arrangement, settings, a plug-in with its parameters), No
// keeps it aside, a clean exit leaves no file. Keys and answers are real X events
// sent with xdotool. RecoveryUnderXvfb starts this binary there with only the inside
// test; anywhere else it skips.

#include "PanelTestSupport.h"

#include "song/RecoveryFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace vantreel::test {
namespace {

const char* const kInsideVariable = "VANTREEL_RECOVERY_UNDER_XVFB";
constexpr int kRunTimeoutMilliseconds = 120000;
constexpr int kWaitMilliseconds = 20000;
constexpr int kProbeSlot = 0;
constexpr float kProbeValue = 0.625f;
const EventCell kTyped[] = {{0x90, 0, 0, 0}, {0x10, 0, 0, 0}, {0x20, 0, 0, 0}, {0x30, 0, 0, 0}};

TEST(RecoveryUnderXvfb, AKilledProgramsSongComesBackAtTheNextStart) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() ||
        QStandardPaths::findExecutable("xdotool").isEmpty()) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    if (qEnvironmentVariableIsSet(kInsideVariable)) {
        GTEST_SKIP() << "already on the display";
    }
    QProcess inside;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kInsideVariable, "1");
    inside.setProcessEnvironment(environment);
    inside.setProcessChannelMode(QProcess::MergedChannels);
    inside.start("bash", {VANTREEL_SHELL_TEST_DIR "/run_under_xvfb.sh",
                          QCoreApplication::applicationFilePath(), "-platform", "xcb",
                          "--gtest_filter=RecoveryInsideXvfb.*"});
    ASSERT_TRUE(inside.waitForFinished(kRunTimeoutMilliseconds));
    const QString output = QString::fromLocal8Bit(inside.readAll());
    SCOPED_TRACE(output.toStdString());
    EXPECT_EQ(inside.exitCode(), 0);
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << "the inside test did not run or pass";
}

class RecoveryInsideXvfb : public testing::Test {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet(kInsideVariable)) {
            GTEST_SKIP() << "runs inside RecoveryUnderXvfb only";
        }
        setenv("VST_PATH", kOwnPluginDir.c_str(), 1);
        environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_STATE_HOME", QString::fromStdString(scratch.MakeFolder("state")));
        environment.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch.MakeFolder("config")));
        environment.insert("VANTREEL_AUTOSAVE_SECONDS", "1");
        for (const char* scripted :
             {"VANTREEL_SCREENSHOT", "VANTREEL_EXIT_ANSWERS", "VANTREEL_RESTORE_ANSWER"}) {
            environment.remove(scripted);
        }
    }
    void TearDown() override {
        if (program) {
            program->kill();
            program->waitForFinished();
        }
    }

    QString Folder() const { return QString::fromStdString(scratch.Path("state/vantreel")); }
    QStringList Files(const QString& pattern) const {
        return QDir(Folder()).entryList({pattern}, QDir::Files, QDir::Name);
    }

    // A song as a program that is gone would have left it: a plug-in with its
    // parameters, settings and arrangement entries away from their defaults.
    void LeaveASongBehind() {
        AudioEngine engine(OutputMode::CallerDriven);
        ASSERT_TRUE(engine.LoadPlugin(kProbeSlot, kProbeFile)) << engine.LastPluginError();
        AEffect* probe = engine.LivePlugin(kProbeSlot);
        plugin::SetParameter(probe, 1, kProbeValue);
        engine.SetTempo(140);
        engine.song.settings.masterVolume = 20000;
        engine.song.slots[kProbeSlot].sendReverb = 77;
        engine.song.arrangement.Set(2, kProbeSlot, {3, 0});
        engine.song.arrangement.Set(300, 5, {7, 0});
        std::string error;
        ASSERT_TRUE(MakeRecoveryFolder(Folder().toStdString(), error)) << error;
        // No lock file beside it: its program is gone.
        ASSERT_TRUE(engine.SaveProject(
            (Folder() + "/recovery-19700101-000000-1.vpf").toLocal8Bit().constData()));
    }

    void Start() {
        program = std::make_unique<QProcess>();
        program->setProcessEnvironment(environment);
        program->setProcessChannelMode(QProcess::ForwardedChannels);
        program->start(VANTREEL_BINARY_DIR "/vantreel");
        ASSERT_TRUE(program->waitForStarted());
    }
    void Kill() {
        program->kill(); // SIGKILL: nothing of the program runs any more
        ASSERT_TRUE(program->waitForFinished());
        program.reset();
    }

    QString Xdotool(const QStringList& arguments) {
        QProcess xdotool;
        xdotool.start("xdotool", arguments);
        if (!xdotool.waitForFinished(kWaitMilliseconds) || xdotool.exitCode() != 0) {
            ADD_FAILURE() << "xdotool " << arguments.join(' ').toStdString() << ": "
                          << xdotool.readAllStandardError().toStdString();
            return {};
        }
        return QString::fromLocal8Bit(xdotool.readAllStandardOutput()).trimmed();
    }
    // Gives the X input focus to the first window named exactly `title` and types.
    void KeysTo(const QString& title, const QStringList& keys) {
        const QString window =
            Xdotool({"search", "--sync", "--onlyvisible", "--name", "^" + title + "$"})
                .split('\n')
                .value(0);
        ASSERT_FALSE(window.isEmpty()) << "no window " << title.toStdString();
        Xdotool({"windowfocus", "--sync", window});
        QTest::qWait(200);
        Xdotool(QStringList{"key", "--delay", "60"} + keys);
    }
    void AnswerRestore(const QString& key) { KeysTo("Vantreel", {key}); }
    void TypeCells(const QStringList& keys) { KeysTo("Vantreel v0.002", keys); }

    // This program's own song file, once its image shows `ready`.
    std::unique_ptr<AudioEngine> AutosavedSong(const std::function<bool(AudioEngine&)>& ready) {
        std::unique_ptr<AudioEngine> found;
        (void)QTest::qWaitFor(
            [&] {
                for (const QString& name : Files("recovery-*.vpf")) {
                    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
                    const std::string path = (Folder() + "/" + name).toStdString();
                    if (engine->LoadProject(path.c_str()) && ready(*engine)) {
                        found = std::move(engine);
                        return true;
                    }
                }
                return false;
            },
            kWaitMilliseconds);
        return found;
    }

    static bool HasTheTypedCells(AudioEngine& engine, EventCell first) {
        const Pattern& pattern = engine.song.slots[kProbeSlot].patterns[0];
        return pattern.Cell(0, 0) == first && pattern.Cell(1, 0) == kTyped[1] &&
               pattern.Cell(2, 0) == kTyped[2] && pattern.Cell(3, 0) == kTyped[3];
    }
    static void ExpectTheSongLeftBehind(AudioEngine& engine) {
        AEffect* probe = engine.LivePlugin(kProbeSlot);
        ASSERT_NE(probe, nullptr);
        EXPECT_EQ(kProbeValue, plugin::GetParameter(probe, 1));
        EXPECT_NEAR(140.0, engine.GetTempo(), 0.5);
        EXPECT_EQ(20000, engine.song.settings.masterVolume);
        EXPECT_EQ(77, engine.song.slots[kProbeSlot].sendReverb);
        EXPECT_EQ(3, engine.song.arrangement.Get(2, kProbeSlot).patternCode);
        EXPECT_EQ(7, engine.song.arrangement.Get(300, 5).patternCode);
    }

    Scratch scratch;
    QProcessEnvironment environment;
    std::unique_ptr<QProcess> program;
};

TEST_F(RecoveryInsideXvfb,
       YesRestoresTheSongAtItsLastAutosaveNoKeepsItAsideACleanExitLeavesNothing) {
    LeaveASongBehind();

    // Yes: the song left behind comes back and is protected at once, before any edit.
    Start();
    AnswerRestore("y");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Files("recovery-19700101*").isEmpty(); }, kWaitMilliseconds));
    TypeCells({"Right", "9", "1", "2", "3"});
    std::unique_ptr<AudioEngine> first =
        AutosavedSong([](AudioEngine& e) { return HasTheTypedCells(e, kTyped[0]); });
    ASSERT_NE(first, nullptr) << "no autosave holds the typed cells";
    ExpectTheSongLeftBehind(*first);
    Kill();
    ASSERT_EQ(1, Files("recovery-*.vpf").size()) << "a kill must leave the song";
    const QString firstName = Files("recovery-*.vpf").value(0);

    // Yes again: the next image is built from the restored song in memory, with one
    // more cell typed over the first.
    Start();
    AnswerRestore("y");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Files("recovery-*.vpf").contains(firstName); },
                                kWaitMilliseconds));
    TypeCells({"Right", "5"});
    const EventCell retyped{0x50, 0, 0, 0};
    std::unique_ptr<AudioEngine> second =
        AutosavedSong([&](AudioEngine& e) { return HasTheTypedCells(e, retyped); });
    ASSERT_NE(second, nullptr) << "the restored song was not autosaved with the new cell";
    ExpectTheSongLeftBehind(*second);
    const QString secondName = Files("recovery-*.vpf").value(0);
    const QByteArray secondBytes = [&] {
        QFile file(Folder() + "/" + secondName);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    Kill();

    // No: kept aside whole under a dated name; the program starts empty and, with
    // nothing unsaved, its clean exit leaves no song of its own.
    Start();
    AnswerRestore("n");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Files("unsaved-*.vpf").size() == 1; }, kWaitMilliseconds));
    QFile kept(Folder() + "/" + Files("unsaved-*.vpf").value(0));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(secondBytes, kept.readAll());
    QTest::qWait(1500);                        // an autosave tick with nothing unsaved
    KeysTo("Vantreel v0.002", {"alt+f", "x"}); // File > Exit
    QTest::qWait(300);
    AnswerRestore("y"); // "Sure to exit?" has the same caption
    ASSERT_TRUE(program->waitForFinished(kWaitMilliseconds));
    EXPECT_EQ(program->exitCode(), 0);
    program.reset();
    EXPECT_TRUE(Files("recovery-*").isEmpty()) << Files("*").join(' ').toStdString();
    EXPECT_EQ(1, Files("unsaved-*.vpf").size());
}

} // namespace
} // namespace vantreel::test
