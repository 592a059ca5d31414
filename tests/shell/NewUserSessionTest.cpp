// A new user's first session, driven through the real main window on a private
// Xvfb display: load our synthesizer through the browser, write a few notes, play
// them, save the project, start a new one, open the saved one and find it all back.
//
// The outer test starts this same test program under Xvfb, running only the inner
// test, which skips itself anywhere else.

#include "InnerTestRun.h"
#include "PanelTestSupport.h"

#include "plugins/PluginCalls.h"
#include "shell/ControlPanel.h"
#include "shell/EditorView.h"
#include "shell/MainFrame.h"
#include "shell/PanelText.h"
#include "shell/PluginBrowserDialog.h"
#include "shell/PluginEditorWindow.h"
#include "shell/StatusBar.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>

#include <vector>

namespace vantreel::test {
namespace {

const char* const kSessionVariable = "VANTREEL_NEW_USER_SESSION";
constexpr int kSessionTimeoutMilliseconds = 120000;

TEST(NewUserSession, RunsThroughTheWholeWindowUnderXvfb) {
    if (qEnvironmentVariableIsSet(kSessionVariable)) {
        GTEST_SKIP() << "already inside the session";
    }
    Scratch scratch;
    QProcessEnvironment environment;
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(scratch.MakeFolder("config")));
    environment.insert("VST_PATH", QString::fromStdString(kOwnPluginDir));
    RunInnerTestsUnderXvfb({.insideVariable = kSessionVariable,
                            .insideValue = QString::fromStdString(scratch.Path()),
                            .filter = "NewUserSessionInside.*",
                            .expectedPasses = 2,
                            .timeoutMilliseconds = kSessionTimeoutMilliseconds,
                            .extra = environment});
}

class NewUserSessionInside : public testing::Test {
protected:
    void SetUp() override {
        folder = qEnvironmentVariable(kSessionVariable);
        if (folder.isEmpty()) {
            GTEST_SKIP() << "runs inside NewUserSession only";
        }
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        frame = std::make_unique<CMainFrame>();
        frame->resize(1200, 900);
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    }

    ControlPanel& Panel() { return frame->Panel(); }
    AudioEngine& Engine() { return frame->Engine(); }
    void Command(CommandId id) { frame->Commands().Action(id).trigger(); }
    void Click(PanelControlId id) {
        QPushButton* button = Panel().Button(id);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    }
    void TypeIntoView(Qt::Key key) { QTest::keyClick(&frame->View(), key); }

    // Clicks `button` of the next message box whose text starts with `text`.
    void Answer(const QString& text, QMessageBox::StandardButton button) {
        WhenModal(
            [text, button](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (box == nullptr || !box->text().startsWith(text)) {
                    return false;
                }
                QTest::mouseClick(box->button(button), Qt::LeftButton);
                return true;
            },
            frame.get());
    }
    // Types `path` into the next file dialog and confirms it.
    void TypeFileName(const QString& path) {
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
    }

    std::vector<EventCell> PatternCells(int slot, int pattern) {
        std::vector<EventCell> cells;
        const Pattern& p = Engine().song.slots[slot].patterns[pattern];
        for (int line = 0; line < kPatternLines; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                cells.push_back(p.Cell(line, track));
            }
        }
        return cells;
    }
    AEffect& Synth() { return *Engine().LivePlugin(0); }
    int Program() { return int(plugin::GetProgram(&Synth())); }
    std::vector<float> Parameters() {
        std::vector<float> values;
        for (int p = 0; p < Synth().numParams; ++p) {
            values.push_back(Synth().getParameter(&Synth(), p));
        }
        return values;
    }

    QString folder;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(NewUserSessionInside, LoadsWritesPlaysSavesAndOpensAgain) {
    // Load the synthesizer into slot 00 through "Open...", double-clicking its entry.
    WhenModal(
        [](QWidget* modal) {
            auto* browser = qobject_cast<PluginBrowserDialog*>(modal);
            if (browser == nullptr || !browser->isVisible()) {
                return false;
            }
            const auto found = browser->List().findItems(kSynthFile, Qt::MatchExactly);
            EXPECT_EQ(found.size(), 1) << "the synthesizer is not offered";
            if (found.isEmpty()) {
                browser->reject();
                return true;
            }
            QListWidget& list = browser->List();
            list.scrollToItem(found.front());
            const QPoint at = list.visualItemRect(found.front()).center();
            QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
            return true;
        },
        frame.get());
    Click(kOpenPlugin);
    ASSERT_TRUE(Engine().song.slots[0].IsInstanced());
    EXPECT_EQ(Panel().Text(kSlotText)->FullText(), "00: VantreelSynth.so");
    EXPECT_EQ(frame->Status().Message(), "Plugin VantreelSynth.so instanced ok");

    // Write notes in edit mode, then play the pattern and watch the meters move.
    frame->View().setFocus();
    Command(kCmdToggleEditMode);
    for (Qt::Key key : {Qt::Key_Q, Qt::Key_E, Qt::Key_T, Qt::Key_Y}) {
        TypeIntoView(key);
    }
    Command(kCmdToggleEditMode);
    const std::vector<EventCell> cells = PatternCells(0, 0);
    EXPECT_NE(cells[0], EventCell{}) << "the first note was not written";
    Command(kCmdPlayPattern);
    int loudest = 0;
    for (int tick = 0; tick < 60 && loudest == 0; ++tick) {
        QTest::qWait(50);
        loudest = std::max(loudest, Panel().Bar(kVuLeftBar)->value());
    }
    EXPECT_GT(loudest, 0) << "nothing was heard";
    Command(kCmdStop);

    // Pick a program and set a parameter on the panel.
    Click(kProgramNext);
    Click(kProgramNext);
    Click(kParameterNext);
    Panel().Slider(kParameterValueSlider)->setValue(200);
    Panel().Slider(kTempoSlider)->setValue(4410);
    EXPECT_EQ(Panel().Text(kTempoText)->FullText(), "150.00");
    const int program = Program();
    EXPECT_EQ(program, 2);
    const std::vector<float> parameters = Parameters();
    EXPECT_EQ(parameters[1], 200.0f / 256.0f);

    // Save, under a name typed without extension.
    const QString path = folder + "/first-song";
    Answer("WARNING: Alpha version", QMessageBox::Ok);
    TypeFileName(path);
    Command(kCmdSaveProject);
    EXPECT_EQ(frame->Status().Message(), "Project saved ok...");
    ASSERT_TRUE(QFileInfo::exists(path + ".vpf"));

    // A new project empties everything.
    Answer("You will lose project changes", QMessageBox::Yes);
    Command(kCmdNewProject);
    EXPECT_FALSE(Engine().song.slots[0].IsInstanced());
    EXPECT_EQ(Panel().Text(kSlotText)->FullText(), "00: Not instanced");
    EXPECT_EQ(PatternCells(0, 0), std::vector<EventCell>(cells.size()));

    // Open the saved one and find it all back.
    Answer("You will lose project changes", QMessageBox::Yes);
    TypeFileName(path + ".vpf");
    Command(kCmdOpenProject);
    EXPECT_EQ(frame->Status().Message(), "Project opened ok...");
    ASSERT_TRUE(Engine().song.slots[0].IsInstanced());
    EXPECT_EQ(Panel().Text(kSlotText)->FullText(), "00: VantreelSynth.so");
    EXPECT_EQ(Program(), program);
    EXPECT_EQ(Parameters(), parameters);
    EXPECT_EQ(PatternCells(0, 0), cells);
    EXPECT_EQ(Engine().song.settings.lineLength, 4410);
    EXPECT_EQ(Panel().Text(kTempoText)->FullText(), "150.00");
    // Loading starts the panel at the plug-in's first parameter.
    EXPECT_EQ(Engine().editor.currentParameter, 0);
    EXPECT_EQ(Panel().Slider(kParameterValueSlider)->value(), int(parameters[0] * 256));

    Answer("Sure to exit?", QMessageBox::Yes);
    frame->close();
}

// A Debian plug-in's own editor draws itself into the window we hand it.
TEST_F(NewUserSessionInside, RealPluginEditorDrawsIntoItsWindow) {
    const char* const kWithEditor = "3BandEQ-vst.so";
    if (!QFileInfo::exists(QString("/usr/lib/vst/") + kWithEditor)) {
        GTEST_SKIP() << "dpf-plugins-vst is not installed";
    }
    SetPluginFolderText(Engine(), "/usr/lib/vst");
    ASSERT_TRUE(Engine().LoadPlugin(0, kWithEditor)) << Engine().LastPluginError();
    Panel().Refresh();
    QImage shown;
    WhenModal(
        [&shown](QWidget* modal) {
            auto* window = qobject_cast<PluginEditorWindow*>(modal);
            if (window == nullptr || !window->isVisible()) {
                return false;
            }
            QTest::qWait(1000); // the plug-in paints from its idle calls
            shown = window->screen()->grabWindow(window->winId()).toImage();
            window->close();
            return true;
        },
        frame.get());
    Click(kEditPlugin);
    ASSERT_FALSE(shown.isNull());
    EXPECT_GT(shown.width(), 100);
    QSet<QRgb> colours;
    for (int y = 0; y < shown.height(); y += 5) {
        for (int x = 0; x < shown.width(); x += 5) {
            colours.insert(shown.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 20) << "the editor window stayed blank";
    EXPECT_TRUE(Panel().Ready());

    Answer("Sure to exit?", QMessageBox::Yes);
    frame->close();
}

} // namespace
} // namespace vantreel::test
