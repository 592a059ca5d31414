// Starts the real program on a private Xvfb display, lets it save a screenshot,
// answers "Sure to exit?" with No and then Yes, and checks that it ends cleanly,
// leaving no unsaved song behind.
// Also runs this binary's X11-only tests there.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kRunTimeoutMilliseconds = 60000;
const char* const kRunUnderXvfb = VANTREEL_SHELL_TEST_DIR "/run_under_xvfb.sh";

class ProgramUnderXvfb : public testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
    }
};

TEST_F(ProgramUnderXvfb, X11OnlyTestsPass) {
    QProcess tests;
    tests.start("bash", {kRunUnderXvfb, QCoreApplication::applicationFilePath(),
                         "--gtest_filter=X11Keyboard.*"});
    ASSERT_TRUE(tests.waitForFinished(kRunTimeoutMilliseconds));
    const QString output = QString::fromLocal8Bit(tests.readAllStandardOutput());
    SCOPED_TRACE(output.toStdString());
    EXPECT_EQ(tests.exitCode(), 0);
    EXPECT_TRUE(output.contains("[  PASSED  ] 2 tests."));
    EXPECT_FALSE(output.contains("SKIPPED"));
}

// Real X key events through xdotool: the keypad's operators, which Qt does not match
// as shortcuts under X11, the clipboard keys, and Undo and Redo.
TEST_F(ProgramUnderXvfb, RealKeyEventsReachTheCommands) {
    if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    QProcess tests;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VANTREEL_REAL_X_KEYS", "1");
    tests.setProcessEnvironment(environment);
    tests.setProcessChannelMode(QProcess::MergedChannels);
    tests.start("bash", {kRunUnderXvfb, QCoreApplication::applicationFilePath(), "-platform", "xcb",
                         "--gtest_filter=RealXKeys.*"});
    ASSERT_TRUE(tests.waitForFinished(kRunTimeoutMilliseconds));
    const QString output = QString::fromLocal8Bit(tests.readAll());
    SCOPED_TRACE(output.toStdString());
    EXPECT_EQ(tests.exitCode(), 0);
    EXPECT_TRUE(output.contains("[  PASSED  ] 4 tests."));
    EXPECT_FALSE(output.contains("SKIPPED"));
}

TEST_F(ProgramUnderXvfb, ShowsTheWindowAndExitsAfterConfirmation) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString shot = dir.filePath("vantreel.png");

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VANTREEL_SCREENSHOT", shot);
    environment.insert("VANTREEL_EXIT_ANSWERS", "no,yes");
    // Unsaved songs of the machine's own runs are none of this test's business.
    environment.insert("XDG_STATE_HOME", dir.filePath("state"));
    program.setProcessEnvironment(environment);
    program.start("bash", {kRunUnderXvfb, VANTREEL_BINARY_DIR "/vantreel"});
    ASSERT_TRUE(program.waitForFinished(kRunTimeoutMilliseconds));
    const QString output = QString::fromLocal8Bit(program.readAllStandardOutput());
    SCOPED_TRACE(output.toStdString() + program.readAllStandardError().toStdString());

    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(output.contains("Screenshot saved to " + shot));
    EXPECT_TRUE(output.contains("Sure to exit? no: still running"));
    EXPECT_TRUE(output.contains("Sure to exit? yes: closing"));
    // Nothing was unsaved: the clean exit leaves no song to restore, nor its lock.
    EXPECT_TRUE(QDir(dir.filePath("state/vantreel")).exists());
    EXPECT_TRUE(QDir(dir.filePath("state/vantreel")).isEmpty());

    // The screenshot shows the editors: plenty of the title colour and a window
    // large enough for the whole pattern grid.
    const QImage image(shot);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 848);
    EXPECT_GE(image.height(), 660);
    int titlePixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            titlePixels += image.pixel(x, y) == qRgb(208, 208, 144);
        }
    }
    EXPECT_GT(titlePixels, 10000);
}

} // namespace
