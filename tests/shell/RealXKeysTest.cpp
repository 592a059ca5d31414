// Real X key events, sent with xdotool to the real main window on a private Xvfb
// display: the keypad's operators and Alt with its Enter, which Qt's shortcut map
// does not match under X11, the clipboard keys with a save, and Undo and Redo from
// the keys and the Edit menu. ProgramUnderXvfb starts this binary there with only
// these tests; anywhere else they skip.

#include "PanelTestSupport.h"

#include "shell/CommandSet.h"
#include "shell/EditorView.h"
#include "shell/MainFrame.h"
#include "shell/PatternPropertiesDialog.h"
#include "shell/StatusBar.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTest>

namespace vantreel::test {
namespace {

const char* const kRealKeysVariable = "VANTREEL_REAL_X_KEYS";
constexpr int kKeyDelayMilliseconds = 40;

class RealXKeys : public testing::Test {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet(kRealKeysVariable) ||
            QGuiApplication::platformName() != "xcb") {
            GTEST_SKIP() << "needs real X key events (ProgramUnderXvfb runs it)";
        }
        if (QStandardPaths::findExecutable("xdotool").isEmpty()) {
            GTEST_SKIP() << "xdotool is not installed";
        }
        frame = std::make_unique<CMainFrame>(OutputMode::CallerDriven);
        frame->resize(1200, 900);
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        frame->View().setFocus();
    }
    void TearDown() override {
        if (frame) {
            AnswerBox("Sure to exit?", QMessageBox::Yes);
            frame->close();
        }
    }

    // Sends the keys to the window that has the X input focus, one after the other,
    // while this program goes on handling its events.
    void Keys(const QStringList& keys) {
        QProcess xdotool;
        xdotool.start("xdotool",
                      QStringList{"key", "--delay", QString::number(kKeyDelayMilliseconds)} + keys);
        ASSERT_TRUE(xdotool.waitForStarted());
        while (xdotool.state() != QProcess::NotRunning) {
            QTest::qWait(10);
        }
        ASSERT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().toStdString();
        QTest::qWait(100); // the last key's events
    }
    void AnswerBox(const QString& text, QMessageBox::StandardButton button) {
        WhenModal(
            [text, button](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (box == nullptr || !box->text().startsWith(text)) {
                    return false;
                }
                box->button(button)->click();
                return true;
            },
            frame.get());
    }
    AudioEngine& Engine() { return frame->Engine(); }
    Pattern& Shown() { return Engine().CurrentPattern(); }

    std::unique_ptr<CMainFrame> frame;
};

TEST_F(RealXKeys, KeypadOperatorsStepPatternAndOctaveWhereverTheFocusIs) {
    Keys({"KP_Add", "KP_Add", "KP_Add", "KP_Subtract"});
    EXPECT_EQ(Engine().editor.currentPattern.load(), 2);
    Keys({"KP_Multiply", "KP_Multiply"});
    EXPECT_EQ(Engine().editor.octave.load(), 6);
    Keys({"KP_Divide"});
    EXPECT_EQ(Engine().editor.octave.load(), 5);
    EXPECT_EQ(Engine().song.slots[0].patterns[0].Cell(0, 0), EventCell{});
    EXPECT_EQ(Engine().editor.midiChannel.load(), 0); // not the main keyboard's '+'

    // With the focus on the control panel.
    QSlider* slider = frame->findChild<QSlider*>();
    ASSERT_NE(slider, nullptr);
    slider->setFocus();
    QTest::qWait(50);
    Keys({"KP_Add"});
    EXPECT_EQ(Engine().editor.currentPattern.load(), 3);
}

TEST_F(RealXKeys, AltWithTheKeypadEnterOpensThePatternProperties) {
    bool opened = false;
    WhenModal(
        [&opened](QWidget* modal) {
            auto* dialog = qobject_cast<PatternPropertiesDialog*>(modal);
            if (dialog == nullptr) {
                return false;
            }
            opened = true;
            dialog->close();
            return true;
        },
        frame.get());
    Keys({"alt+KP_Enter"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened; }, 3000));
}

TEST_F(RealXKeys, ABlockCopiedAndPastedWithTheKeysIsInTheSavedProject) {
    // Four status digits down track 0, as a user types them.
    Keys({"Right", "9", "1", "2", "3"});
    ASSERT_EQ(Shown().Cell(3, 0), (EventCell{0x30, 0, 0, 0}));
    Keys({"Up", "Up", "Up", "Up", "ctrl+b", "Down", "Down", "Down", "Tab", "ctrl+e", "ctrl+c"});
    EXPECT_EQ(frame->Status().Message(), "Block copied to clipboard");
    Keys({"Page_Down", "Tab", "Tab", "ctrl+v"});
    EXPECT_EQ(frame->Status().Message(), "Block pasted from clipboard");
    EXPECT_EQ(Engine().editor.cursorLine.load(), 19);
    EXPECT_EQ(Engine().editor.cursorTrack.load(), 3);
    const EventCell typed[] = {{0x90, 0, 0, 0}, {0x10, 0, 0, 0}, {0x20, 0, 0, 0}, {0x30, 0, 0, 0}};
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(Shown().Cell(19 + j, 3), typed[j]) << j;
        EXPECT_EQ(Shown().Cell(19 + j, 4), EventCell{}) << j;
    }

    Scratch scratch;
    const QString path = QString::fromStdString(scratch.Path("block.vpf"));
    AnswerBox("WARNING: Alpha version", QMessageBox::Ok);
    WhenModal(
        [path](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (dialog == nullptr || !dialog->isVisible()) {
                return false;
            }
            ConfirmFileDialog(*dialog, path);
            return true;
        },
        frame.get());
    Keys({"ctrl+s"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(path); }, 5000));
    EXPECT_EQ(frame->Status().Message(), "Project saved ok...");

    AudioEngine reloaded(OutputMode::CallerDriven);
    ASSERT_TRUE(reloaded.LoadProject(path.toLocal8Bit().constData()));
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(reloaded.song.slots[0].patterns[0].Cell(19 + j, 3), typed[j]) << j;
    }
}

TEST_F(RealXKeys, UndoAndRedoWorkFromTheKeysAndFromTheEditMenu) {
    QAction& undo = frame->Commands().Action(kCmdUndo);
    QAction& redo = frame->Commands().Action(kCmdRedo);
    EXPECT_FALSE(undo.isEnabled());
    EXPECT_FALSE(redo.isEnabled());
    Keys({"space", "z", "x"}); // edit mode, two notes down track 0
    ASSERT_EQ(Shown().Cell(0, 0).data1, 48);
    ASSERT_EQ(Shown().Cell(1, 0).data1, 50);
    EXPECT_TRUE(undo.isEnabled());

    Keys({"ctrl+z"});
    EXPECT_EQ(Shown().Cell(1, 0), EventCell{});
    EXPECT_EQ(frame->Status().Message(), "Undo: Note entry");
    EXPECT_EQ(Engine().editor.cursorLine.load(), 1) << "back where the note was typed";
    EXPECT_TRUE(redo.isEnabled());
    Keys({"alt+BackSpace"});
    EXPECT_EQ(Shown().Cell(0, 0), EventCell{});
    EXPECT_FALSE(undo.isEnabled());
    Keys({"ctrl+y"});
    EXPECT_EQ(Shown().Cell(0, 0).data1, 48);
    EXPECT_EQ(frame->Status().Message(), "Redo: Note entry");
    Keys({"ctrl+shift+z"});
    EXPECT_EQ(Shown().Cell(1, 0).data1, 50);
    EXPECT_FALSE(redo.isEnabled());

    // The Edit menu's items, opened and chosen with the keys.
    Keys({"alt+e", "u"});
    EXPECT_EQ(Shown().Cell(1, 0), EventCell{});
    Keys({"alt+e", "r"});
    EXPECT_EQ(Shown().Cell(1, 0).data1, 50);
    EXPECT_EQ(frame->Status().Message(), "Redo: Note entry");
}

} // namespace
} // namespace vantreel::test
