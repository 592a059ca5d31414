// The delay, reverb and chorus windows as widgets on the offscreen platform: titles,
// sizes and every control's rectangle, the first state, what moving a slider,
// clicking a synchro button or the "Cross delay" box stores, and opening each window
// from the control panel of the main window.

#include "PanelTestSupport.h"

#include "shell/ControlPanel.h"
#include "shell/EffectDialog.h"
#include "shell/MainFrame.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <memory>

namespace vantreel::test {
namespace {

struct ExpectedControl {
    int id;
    DialogRect rect;
};

struct ExpectedText {
    const char* text;
    int row;
};

DialogBaseUnits Units() {
    return BaseUnitsOf(DialogFont());
}

class EffectDialogTest : public PanelEngineTest {
protected:
    std::unique_ptr<EffectDialog> Open(EffectWindowKind kind) {
        switch (kind) {
        case EffectWindowKind::Delay:
            return std::make_unique<DelayDialog>(*engine);
        case EffectWindowKind::Reverb:
            return std::make_unique<ReverbDialog>(*engine);
        case EffectWindowKind::Chorus:
            break;
        }
        return std::make_unique<ChorusDialog>(*engine);
    }

    void ExpectLayout(EffectDialog& dialog, const std::vector<ExpectedControl>& expected,
                      const std::vector<ExpectedText>& texts) {
        for (const ExpectedControl& control : expected) {
            QWidget* widget = dialog.Control(control.id);
            ASSERT_NE(widget, nullptr) << control.id;
            EXPECT_EQ(widget->geometry(), ToPixels(control.rect, Units())) << control.id;
            EXPECT_EQ(widget->objectName(), QString("control%1").arg(control.id));
        }
        for (const ExpectedText& text : texts) {
            QLabel* label = dialog.LeftText(text.row);
            ASSERT_NE(label, nullptr) << text.text;
            EXPECT_EQ(label->text(), text.text);
            EXPECT_EQ(label->geometry(), ToPixels(DialogRect{4, text.row, 64, 12}, Units()));
        }
    }

    QString LabelOf(EffectDialog& dialog, int id) { return dialog.ValueLabel(id)->text(); }
};

TEST_F(EffectDialogTest, DelayWindowLaysOutEveryControlInDialogUnits) {
    DelayDialog dialog(*engine);
    EXPECT_EQ(dialog.windowTitle(), "Delay FX");
    EXPECT_EQ(dialog.size(), ToPixels(262, 116, Units()));
    EXPECT_EQ(dialog.font(), DialogFont());
    std::vector<ExpectedControl> controls = {
        {kLeftDelaySlider, {68, 4, 128, 12}},      {kLeftDelayLabel, {196, 4, 64, 12}},
        {kRightDelaySlider, {68, 20, 128, 12}},    {kRightDelayLabel, {196, 20, 64, 12}},
        {kLeftFeedbackSlider, {68, 36, 128, 12}},  {kLeftFeedbackLabel, {196, 36, 64, 12}},
        {kRightFeedbackSlider, {68, 52, 128, 12}}, {kRightFeedbackLabel, {196, 52, 64, 12}},
        {kCrossDelayBox, {68, 100, 64, 12}},
    };
    for (int n = 0; n < 6; ++n) {
        controls.push_back({kLeftSynchroButton + n, {68 + 16 * n, 68, 16, 12}});
        controls.push_back({kRightSynchroButton + n, {68 + 16 * n, 84, 16, 12}});
        EXPECT_EQ(dialog.Button(kLeftSynchroButton + n)->text(), QString("x%1").arg(n + 1));
        EXPECT_EQ(dialog.Button(kRightSynchroButton + n)->text(), QString("x%1").arg(n + 1));
    }
    ExpectLayout(dialog, controls,
                 {{"Left delay", 4},
                  {"Right delay", 20},
                  {"Left feedback", 36},
                  {"Right feedback", 52},
                  {"Left synchro", 68},
                  {"Right synchro", 84},
                  {"Options", 100}});
    EXPECT_EQ(dialog.CrossDelayBox()->text(), "Cross delay");
}

TEST_F(EffectDialogTest, ReverbAndChorusWindowsLayOutTheirRows) {
    ReverbDialog reverb(*engine);
    EXPECT_EQ(reverb.windowTitle(), "Reverb FX");
    EXPECT_EQ(reverb.size(), ToPixels(262, 68, Units()));
    ExpectLayout(reverb,
                 {{kRoomSlider, {68, 4, 128, 12}},
                  {kRoomLabel, {196, 4, 64, 12}},
                  {kDampSlider, {68, 20, 128, 12}},
                  {kDampLabel, {196, 20, 64, 12}},
                  {kWidthSlider, {68, 36, 128, 12}},
                  {kWidthLabel, {196, 36, 64, 12}},
                  {kModeSlider, {68, 52, 128, 12}},
                  {kModeLabel, {196, 52, 64, 12}}},
                 {{"Room", 4}, {"Damp", 20}, {"Width", 36}, {"Mode", 52}});
    EXPECT_EQ(reverb.CrossDelayBox(), nullptr);

    ChorusDialog chorus(*engine);
    EXPECT_EQ(chorus.windowTitle(), "Chorus FX");
    EXPECT_EQ(chorus.size(), ToPixels(262, 68, Units()));
    ExpectLayout(chorus,
                 {{kChorusDelaySlider, {68, 4, 128, 12}},
                  {kChorusDelayLabel, {196, 4, 64, 12}},
                  {kLfoSpeedSlider, {68, 20, 128, 12}},
                  {kLfoSpeedLabel, {196, 20, 64, 12}},
                  {kChorusModSlider, {68, 36, 128, 12}},
                  {kChorusModLabel, {196, 36, 64, 12}},
                  {kChorusFeedbackSlider, {68, 52, 128, 12}},
                  {kChorusFeedbackLabel, {196, 52, 64, 12}}},
                 {{"Delay", 4}, {"LFO speed", 20}, {"Mod", 36}, {"Feedback", 52}});
}

TEST_F(EffectDialogTest, OpensOnTheSongsSettingsWithoutChangingThem) {
    engine->song.settings.delay.delayRight = 44100;
    engine->song.settings.delay.crossDelay = 0;
    engine->song.settings.chorus.lfoSpeed = 256;
    DelayDialog delay(*engine);
    EXPECT_EQ(delay.Slider(kLeftDelaySlider)->value(), 15840);
    EXPECT_EQ(delay.Slider(kLeftDelaySlider)->maximum(), 44100);
    EXPECT_EQ(delay.Slider(kRightDelaySlider)->value(), 44100);
    EXPECT_EQ(delay.Slider(kLeftFeedbackSlider)->value(), 70);
    EXPECT_EQ(delay.Slider(kLeftFeedbackSlider)->maximum(), 128);
    EXPECT_FALSE(delay.CrossDelayBox()->isChecked());
    EXPECT_EQ(LabelOf(delay, kLeftDelayLabel), "359.2 ms.");
    EXPECT_EQ(LabelOf(delay, kRightDelayLabel), "1000.0 ms.");
    EXPECT_EQ(LabelOf(delay, kRightFeedbackLabel), "54.7%");

    ReverbDialog reverb(*engine);
    EXPECT_EQ(reverb.Slider(kRoomSlider)->value(), 80);
    EXPECT_EQ(reverb.Slider(kWidthSlider)->value(), 128);
    EXPECT_EQ(LabelOf(reverb, kRoomLabel), "62.5%");
    EXPECT_EQ(LabelOf(reverb, kWidthLabel), "100.0%");
    EXPECT_EQ(LabelOf(reverb, kModeLabel), "Stereo");

    ChorusDialog chorus(*engine);
    EXPECT_EQ(chorus.Slider(kChorusDelaySlider)->maximum(), 4096);
    EXPECT_EQ(chorus.Slider(kLfoSpeedSlider)->maximum(), 256);
    EXPECT_EQ(chorus.Slider(kLfoSpeedSlider)->value(), 256);
    EXPECT_EQ(LabelOf(chorus, kChorusDelayLabel), "0.9 ms.");
    EXPECT_EQ(LabelOf(chorus, kLfoSpeedLabel), "256");
    EXPECT_EQ(LabelOf(chorus, kChorusModLabel), "49.2%");

    EXPECT_EQ(engine->song.settings.delay.delayLeft, 15840);
    EXPECT_EQ(engine->song.settings.delay.crossDelay, 0);
    EXPECT_EQ(engine->song.settings.reverb.room, 80);
}

TEST_F(EffectDialogTest, SlidersStoreEveryMoveAndTheLabelsFollow) {
    ReverbDialog reverb(*engine);
    reverb.Slider(kModeSlider)->setValue(65);
    EXPECT_EQ(engine->song.settings.reverb.mode, 65);
    EXPECT_EQ(LabelOf(reverb, kModeLabel), "Linked");
    QTest::keyClick(reverb.Slider(kDampSlider), Qt::Key_End);
    EXPECT_EQ(engine->song.settings.reverb.damp, 128);
    EXPECT_EQ(LabelOf(reverb, kDampLabel), "100.0%");

    ChorusDialog chorus(*engine);
    chorus.Slider(kChorusFeedbackSlider)->setValue(64);
    EXPECT_EQ(engine->song.settings.chorus.chorusFeedback, 64);
    EXPECT_EQ(LabelOf(chorus, kChorusFeedbackLabel), "50.0%");
}

TEST_F(EffectDialogTest, SynchroButtonsSetWholeLinesUpToOneSecond) {
    DelayDialog dialog(*engine);
    dialog.Button(kLeftSynchroButton + 5)->click(); // x6
    EXPECT_EQ(dialog.Slider(kLeftDelaySlider)->value(), 31752);
    EXPECT_EQ(engine->song.settings.delay.delayLeft, 31752);
    EXPECT_EQ(LabelOf(dialog, kLeftDelayLabel), "720.0 ms.");
    EXPECT_EQ(engine->song.settings.delay.delayRight, 15840);

    engine->song.settings.lineLength = 16384;
    dialog.Button(kRightSynchroButton + 2)->click(); // x3
    EXPECT_EQ(dialog.Slider(kRightDelaySlider)->value(), 44100);
    EXPECT_EQ(engine->song.settings.delay.delayRight, 44100);
    EXPECT_EQ(LabelOf(dialog, kRightDelayLabel), "1000.0 ms.");

    // The same button again stores again, though the slider does not move.
    engine->song.settings.delay.delayRight = 1;
    dialog.Button(kRightSynchroButton + 2)->click();
    EXPECT_EQ(engine->song.settings.delay.delayRight, 44100);
}

TEST_F(EffectDialogTest, CrossDelayBoxStoresOneOrZeroAndClosingKeepsEverything) {
    {
        DelayDialog dialog(*engine);
        dialog.show();
        QTest::mouseClick(dialog.CrossDelayBox(), Qt::LeftButton);
        EXPECT_EQ(engine->song.settings.delay.crossDelay, 0);
        QTest::mouseClick(dialog.CrossDelayBox(), Qt::LeftButton);
        EXPECT_EQ(engine->song.settings.delay.crossDelay, 1);
        QTest::mouseClick(dialog.CrossDelayBox(), Qt::LeftButton);
        dialog.Slider(kRightFeedbackSlider)->setValue(3);
        dialog.close();
    }
    EXPECT_EQ(engine->song.settings.delay.crossDelay, 0);
    EXPECT_EQ(engine->song.settings.delay.feedbackRight, 3);
    DelayDialog again(*engine);
    EXPECT_FALSE(again.CrossDelayBox()->isChecked());
    EXPECT_EQ(again.Slider(kRightFeedbackSlider)->value(), 3);
}

// The panel's three buttons open their windows modally, and a change made there is
// in the song after the window closes.
TEST(EffectDialogsFromThePanel, EachButtonOpensItsWindow) {
    CMainFrame frame(OutputMode::CallerDriven);
    frame.show();
    const struct {
        PanelControlId button;
        const char* title;
        int slider;
    } windows[] = {{kDelayDialogButton, "Delay FX", kLeftFeedbackSlider},
                   {kReverbDialogButton, "Reverb FX", kRoomSlider},
                   {kChorusDialogButton, "Chorus FX", kChorusModSlider}};
    for (const auto& window : windows) {
        QPushButton* button = frame.Panel().Button(window.button);
        ASSERT_TRUE(button->isEnabled()) << window.title;
        QString seen;
        WhenModal(
            [&](QWidget* modal) {
                auto* dialog = qobject_cast<EffectDialog*>(modal);
                if (dialog == nullptr || !dialog->isVisible()) {
                    return false;
                }
                seen = dialog->windowTitle();
                dialog->Slider(window.slider)->setValue(17);
                dialog->close();
                return true;
            },
            &frame);
        button->click();
        EXPECT_EQ(seen, window.title);
    }
    const SongSettings& settings = frame.Engine().song.settings;
    EXPECT_EQ(settings.delay.feedbackLeft, 17);
    EXPECT_EQ(settings.reverb.room, 17);
    EXPECT_EQ(settings.chorus.chorusMod, 17);
}

} // namespace
} // namespace vantreel::test
