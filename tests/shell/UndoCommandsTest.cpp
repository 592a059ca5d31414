// Undo and Redo in the main window on the offscreen platform: their menu entries and
// keys, their enabled state following the history, and the panel's, the effect
// windows' and the pattern properties' changes as whole steps.

#include "PanelTestSupport.h"

#include "shell/CommandSet.h"
#include "shell/ControlPanel.h"
#include "shell/EditorView.h"
#include "shell/EffectDialog.h"
#include "shell/MainFrame.h"
#include "shell/PatternPropertiesDialog.h"
#include "shell/StatusBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace vantreel::test {
namespace {

class UndoCommandsTest : public testing::Test {
protected:
    void SetUp() override {
        frame = std::make_unique<CMainFrame>(OutputMode::CallerDriven);
        frame->show();
    }
    QAction& Command(CommandId id) { return frame->Commands().Action(id); }
    UndoHistory& History() { return frame->View().Controller().History(); }
    AudioEngine& Engine() { return frame->Engine(); }

    // A mouse drag as the slider reports it: pressed, moved through `positions`, let go.
    static void Drag(QSlider& slider, std::initializer_list<int> positions) {
        slider.setSliderDown(true);
        for (int position : positions) {
            slider.setValue(position);
        }
        slider.setSliderDown(false); // reports the release
    }

    std::unique_ptr<CMainFrame> frame;
};

TEST_F(UndoCommandsTest, RedoSitsBelowUndoAndBothFollowTheHistory) {
    const CommandInfo* redo = FindCommand(kCmdRedo);
    ASSERT_NE(redo, nullptr);
    EXPECT_EQ(redo->text, "&Redo\tCtrl+Y");
    EXPECT_EQ(Command(kCmdRedo).shortcuts(),
              QList<QKeySequence>({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
    EXPECT_EQ(Command(kCmdRedo).statusTip(), "Redo the last undone action");
    EXPECT_EQ(Command(kCmdRedo).toolTip(), "Redo");
    QMenu* edit = nullptr;
    for (QAction* action : frame->menuBar()->actions()) {
        if (action->text() == "&Edit") {
            edit = action->menu();
        }
    }
    ASSERT_NE(edit, nullptr);
    ASSERT_GE(edit->actions().size(), 2);
    EXPECT_EQ(edit->actions()[0], &Command(kCmdUndo));
    EXPECT_EQ(edit->actions()[1], &Command(kCmdRedo));

    EXPECT_FALSE(Command(kCmdUndo).isEnabled());
    EXPECT_FALSE(Command(kCmdRedo).isEnabled());
    Engine().editor.editMode = 1;
    frame->View().Controller().KeyDown('Z', kNoModifier, false);
    EXPECT_TRUE(Command(kCmdUndo).isEnabled()) << "at once, not at the next tick";
    Command(kCmdUndo).trigger();
    EXPECT_EQ(frame->Status().Message(), "Undo: Note entry");
    EXPECT_FALSE(Command(kCmdUndo).isEnabled());
    EXPECT_TRUE(Command(kCmdRedo).isEnabled());
    Command(kCmdRedo).trigger();
    EXPECT_EQ(frame->Status().Message(), "Redo: Note entry");
    EXPECT_EQ(Engine().CurrentPattern().Cell(0, 0).data1, 48);
    EXPECT_FALSE(Command(kCmdRedo).isEnabled());
    EXPECT_FALSE(Command(kCmdPrint).isEnabled());
}

TEST_F(UndoCommandsTest, APanelSliderDragIsOneStepAndMarksTheSong) {
    QSlider& tempo = *frame->Panel().Slider(kTempoSlider);
    QSlider& send = *frame->Panel().Slider(kReverbSendSlider);
    const int32_t lineLength = Engine().song.settings.lineLength;
    Drag(tempo, {3000, 3100, 3200, 3300});
    Drag(tempo, {3400, 3500});
    Drag(send, {10, 20, 30});
    EXPECT_EQ(History().UndoCount(), 3u);
    EXPECT_TRUE(Engine().modified.IsModified());

    Command(kCmdUndo).trigger();
    EXPECT_EQ(frame->Status().Message(), "Undo: Reverb send");
    EXPECT_EQ(Engine().song.slots[0].sendReverb, 0);
    EXPECT_EQ(send.value(), 0) << "the panel shows what was put back";
    Command(kCmdUndo).trigger();
    EXPECT_EQ(Engine().song.settings.lineLength, 3300);
    Command(kCmdUndo).trigger();
    EXPECT_EQ(Engine().song.settings.lineLength, lineLength);
    EXPECT_EQ(tempo.value(), lineLength);
}

TEST_F(UndoCommandsTest, EffectWindowDragsAndTheCrossDelayBoxAreSteps) {
    DelayDialog dialog(Engine(), frame.get(), &History());
    QSlider& left = *dialog.Slider(kLeftDelaySlider);
    const int before = Engine().song.settings.delay.delayLeft;
    Drag(left, {100, 200, 300});
    dialog.CrossDelayBox()->click();
    EXPECT_EQ(History().UndoCount(), 2u);
    EXPECT_EQ(History().Undo(), "Undo: Cross delay");
    EXPECT_EQ(History().Undo(), "Undo: Left delay");
    EXPECT_EQ(Engine().song.settings.delay.delayLeft, before);
}

TEST_F(UndoCommandsTest, ANameTypedInOneOpeningOfThePropertiesIsOneStep) {
    {
        PatternPropertiesDialog dialog(Engine(), frame.get(), &History());
        dialog.NameField().setText("B");
        dialog.NameField().setText("Ba");
        dialog.NameField().setText("Bass");
        Drag(dialog.LengthSlider(), {40, 32});
    }
    EXPECT_STREQ(Engine().CurrentPattern().name, "Bass");
    EXPECT_EQ(History().UndoCount(), 2u);
    EXPECT_EQ(History().Undo(), "Undo: Pattern length");
    EXPECT_EQ(Engine().CurrentPattern().Length(), kDefaultPatternLength);
    EXPECT_EQ(History().Undo(), "Undo: Pattern name");
    EXPECT_STREQ(Engine().CurrentPattern().name, "Untitled");
}

TEST_F(UndoCommandsTest, ANewProjectEmptiesTheHistory) {
    Engine().editor.editMode = 1;
    frame->View().Controller().KeyDown('Z', kNoModifier, false);
    ASSERT_TRUE(Command(kCmdUndo).isEnabled());
    WhenModal(
        [](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                return false;
            }
            box->button(QMessageBox::Yes)->click();
            return true;
        },
        frame.get());
    Command(kCmdNewProject).trigger();
    EXPECT_FALSE(History().CanUndo());
    EXPECT_FALSE(Command(kCmdUndo).isEnabled());
}

} // namespace
} // namespace vantreel::test
