// The control panel as a widget on the offscreen platform: its layout, what a
// refresh shows, what its sliders and buttons write, and the meters.

#include "PanelTestSupport.h"

#include "shell/ControlPanel.h"
#include "shell/PanelText.h"
#include "shell/UserMessages.h"

#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <vector>

namespace vantreel::test {
namespace {

class ControlPanelTest : public PanelEngineTest {
protected:
    QWidget owner;
    UserMessages messages{owner};
    ControlPanel panel{*engine, messages, &owner};
    int repaints = 0;

    void SetUp() override {
        PanelEngineTest::SetUp();
        panel.repaintEditors = [this] { ++repaints; };
        panel.Refresh();
    }

    QString TextOf(PanelControlId id) { return panel.Text(id)->FullText(); }
    int PositionOf(PanelControlId id) { return panel.Slider(id)->value(); }
    // A move by the user: the slider reports its new position.
    void Move(PanelControlId id, int position) { panel.Slider(id)->setValue(position); }
    void Click(PanelControlId id) { panel.Button(id)->click(); }
};

TEST_F(ControlPanelTest, StartsShowingTheDefaultSong) {
    EXPECT_EQ(TextOf(kSlotText), "00: Not instanced");
    EXPECT_EQ(TextOf(kProgramText), "---");
    EXPECT_EQ(TextOf(kParameterText), "---");
    EXPECT_EQ(TextOf(kDescriptionText), "---");
    EXPECT_EQ(PositionOf(kTempoSlider), 5292);
    EXPECT_EQ(TextOf(kTempoText), "125.00");
    EXPECT_EQ(PositionOf(kVolumeSlider), 32000);
    EXPECT_EQ(PositionOf(kThresholdSlider), 100);
    EXPECT_EQ(PositionOf(kRatioSlider), 0);
    EXPECT_EQ(PositionOf(kSmoothnessSlider), 16);
    for (PanelControlId id : {kLowShelfSlider, kPeakingSlider, kHighShelfSlider}) {
        EXPECT_EQ(PositionOf(id), 0);
        EXPECT_EQ(panel.Slider(id)->minimum(), -16);
        EXPECT_EQ(panel.Slider(id)->maximum(), 16);
    }
    for (PanelControlId id : {kDelaySendSlider, kReverbSendSlider, kChorusSendSlider}) {
        EXPECT_EQ(PositionOf(id), 0);
        EXPECT_EQ(panel.Slider(id)->maximum(), 128);
    }
    EXPECT_EQ(panel.Slider(kTempoSlider)->minimum(), 1000);
    EXPECT_EQ(panel.Slider(kTempoSlider)->maximum(), 16384);
    EXPECT_EQ(panel.Slider(kParameterValueSlider)->maximum(), 256);
    EXPECT_EQ(repaints, 1) << "every refresh ends with the editors' repaint";
    EXPECT_TRUE(panel.Ready());
}

TEST_F(ControlPanelTest, EveryControlSitsAtItsRectangleInTheFontsUnits) {
    const DialogBaseUnits units = BaseUnitsOf(panel.widget()->font());
    EXPECT_GE(units.x, 4);
    EXPECT_GE(units.y, 8);
    EXPECT_EQ(panel.widget()->size(), ToPixels(kControlPanelWidth, kControlPanelHeight, units));
    int placed = 0;
    for (const PanelControl& control : ControlPanelLayout()) {
        if (control.id == kNoControlId) {
            continue;
        }
        const auto* widget =
            panel.widget()->findChild<QWidget*>(QString("control%1").arg(int(control.id)));
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->geometry(), ToPixels(control.rect, units)) << control.id;
        ++placed;
    }
    EXPECT_EQ(placed, 35);
    // Neighbours stay flush: the slot ">" starts where "<" ends.
    EXPECT_EQ(panel.Button(kSlotPrevious)->geometry().right() + 1,
              panel.Button(kSlotNext)->geometry().left());
    EXPECT_EQ(panel.windowTitle(), "Vantreel tool bar");
    EXPECT_EQ(panel.allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
}

TEST_F(ControlPanelTest, SlotButtonsWrapAndResetTheParameter) {
    engine->editor.currentParameter = 2;
    Click(kSlotPrevious);
    EXPECT_EQ(engine->editor.currentSlot, 15);
    EXPECT_EQ(engine->editor.currentParameter, 0);
    EXPECT_EQ(TextOf(kSlotText), "15: Not instanced");
    Click(kSlotNext);
    EXPECT_EQ(engine->editor.currentSlot, 0);
    EXPECT_EQ(TextOf(kSlotText), "00: Not instanced");
}

TEST_F(ControlPanelTest, SendSlidersFollowTheCurrentSlotEvenWhenEmpty) {
    Move(kDelaySendSlider, 40);
    Move(kReverbSendSlider, 50);
    Move(kChorusSendSlider, 128);
    const PluginSlot& first = engine->song.slots[0];
    EXPECT_EQ(first.sendDelay, 40);
    EXPECT_EQ(first.sendReverb, 50);
    EXPECT_EQ(first.sendChorus, 128);
    Click(kSlotNext);
    EXPECT_EQ(PositionOf(kDelaySendSlider), 0) << "slot 01 has its own sends";
    Click(kSlotPrevious);
    EXPECT_EQ(PositionOf(kReverbSendSlider), 50);
}

TEST_F(ControlPanelTest, MasterSlidersWriteTheSongSettings) {
    Move(kVolumeSlider, 0);
    Move(kThresholdSlider, 128);
    Move(kRatioSlider, 16);
    Move(kSmoothnessSlider, 1);
    Move(kLowShelfSlider, -16);
    Move(kPeakingSlider, 7);
    Move(kHighShelfSlider, 16);
    const SongSettings& settings = engine->song.settings;
    EXPECT_EQ(settings.masterVolume, 0);
    EXPECT_EQ(settings.compressor.threshold, 128);
    EXPECT_EQ(settings.compressor.ratio, 16);
    EXPECT_EQ(settings.compressor.smoothness, 1);
    EXPECT_EQ(settings.equalizer.lowGain, -16);
    EXPECT_EQ(settings.equalizer.peakGain, 7);
    EXPECT_EQ(settings.equalizer.highGain, 16);
}

TEST_F(ControlPanelTest, TempoSliderUpdatesTheBeatsPerMinuteAsItMoves) {
    Move(kTempoSlider, 16384);
    EXPECT_EQ(engine->song.settings.lineLength, 16384);
    EXPECT_EQ(TextOf(kTempoText), "40.37");
    Move(kTempoSlider, 1000);
    EXPECT_EQ(engine->song.settings.lineLength, 1000);
    EXPECT_EQ(TextOf(kTempoText), "661.50");
}

TEST_F(ControlPanelTest, ParameterValueSetsExactlyAndShowsThePluginsValue) {
    LoadProbe();
    panel.Refresh();
    Log().Clear();
    Move(kParameterValueSlider, 128);
    const auto calls = Log().parameters.Snapshot();
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(calls.front().isSet);
    EXPECT_EQ(calls.front().value, 0.5f);
    EXPECT_EQ(Parameter(0), 0.5f);

    Effect().setParameter(&Effect(), 0, 0.999f);
    panel.Refresh();
    EXPECT_EQ(PositionOf(kParameterValueSlider), 255);
}

TEST_F(ControlPanelTest, ARefreshWritesNothingBackIntoTheModel) {
    LoadProbe();
    Effect().setParameter(&Effect(), 0, 0.999f); // shown as 255, which would set 0.996
    engine->song.settings.lineLength = 3000;
    engine->song.settings.masterVolume = 12345;
    engine->song.slots[0].sendDelay = 99;
    engine->song.settings.equalizer.peakGain = -5;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const PanelControl& control : ControlPanelLayout()) {
        if (control.kind == PanelControlKind::Slider) {
            spies.push_back(
                std::make_unique<QSignalSpy>(panel.Slider(control.id), &QSlider::valueChanged));
        }
    }
    Log().Clear();
    panel.Refresh();
    for (const auto& spy : spies) {
        EXPECT_EQ(spy->count(), 0) << "a refresh made a slider report";
    }
    for (const probe::ParameterRecord& call : Log().parameters.Snapshot()) {
        EXPECT_FALSE(call.isSet) << "a refresh set parameter " << call.index;
    }
    EXPECT_EQ(Parameter(0), 0.999f);
    EXPECT_EQ(PositionOf(kTempoSlider), 3000);
    EXPECT_EQ(PositionOf(kVolumeSlider), 12345);
    EXPECT_EQ(PositionOf(kDelaySendSlider), 99);
    EXPECT_EQ(PositionOf(kPeakingSlider), -5);
    EXPECT_TRUE(panel.Ready());
}

TEST_F(ControlPanelTest, WhileNotReadySlidersLeaveTheModelAlone) {
    panel.SetReady(false);
    Move(kVolumeSlider, 10);
    Move(kTempoSlider, 2000);
    Move(kDelaySendSlider, 77);
    EXPECT_EQ(engine->song.settings.masterVolume, 32000);
    EXPECT_EQ(engine->song.settings.lineLength, 5292);
    EXPECT_EQ(engine->song.slots[0].sendDelay, 0);
    panel.Refresh();
    EXPECT_FALSE(panel.Ready()) << "a refresh must not reopen a panel held shut";
}

TEST_F(ControlPanelTest, ProgramAndParameterButtonsStopAtTheEnds) {
    LoadProbe();
    panel.Refresh();
    Click(kProgramPrevious);
    EXPECT_EQ(TextOf(kProgramText).left(4), "00: ");
    for (int i = 0; i < 5; ++i) {
        Click(kProgramNext);
    }
    EXPECT_EQ(Program(), probe::kProbeProgramCount - 1);
    EXPECT_EQ(TextOf(kProgramText).left(4), "02: ");
    Click(kParameterPrevious);
    EXPECT_EQ(TextOf(kParameterText).left(4), "00: ");
    for (int i = 0; i < 6; ++i) {
        Click(kParameterNext);
    }
    EXPECT_EQ(engine->editor.currentParameter, probe::kProbeParameterCount - 1);
    EXPECT_EQ(TextOf(kParameterText).left(4), "03: ");
    EXPECT_NE(TextOf(kDescriptionText), "---");
}

TEST_F(ControlPanelTest, RandomParametersStayBelowOne) {
    LoadProbe();
    for (int round = 0; round < 50; ++round) {
        Click(kRandomParameters);
        for (int p = 0; p < probe::kProbeParameterCount; ++p) {
            ASSERT_LT(Parameter(p), 1.0f);
            ASSERT_GE(Parameter(p), 0.0f);
        }
    }
}

TEST_F(ControlPanelTest, DeleteAsksAfterClosingAndClearsTheBankOnlyOnYes) {
    LoadProbe();
    engine->song.slots[0].patterns[4].SetName("Verse");
    bool emptyWhenAsked = false;
    const auto answer = [&](QMessageBox::StandardButton button) {
        WhenModal(
            [&, button](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (box == nullptr || box->text() != "Clear pattern bank of this VST?") {
                    return false;
                }
                EXPECT_EQ(box->windowTitle(), "Vantreel");
                EXPECT_EQ(box->icon(), QMessageBox::Question);
                emptyWhenAsked = !engine->song.slots[0].IsInstanced();
                box->button(button)->click();
                return true;
            },
            &owner);
    };
    answer(QMessageBox::No);
    Click(kDeletePlugin);
    EXPECT_TRUE(emptyWhenAsked);
    EXPECT_STREQ(engine->song.slots[0].patterns[4].name, "Verse");
    EXPECT_EQ(TextOf(kSlotText), "00: Not instanced");

    answer(QMessageBox::Yes); // asked again although the slot is already empty
    Click(kDeletePlugin);
    EXPECT_STREQ(engine->song.slots[0].patterns[4].name, "Untitled");
}

TEST_F(ControlPanelTest, MetersShowThePeaksScaledByVolumeAndTheLoad) {
    LoadProbe();
    Effect().setParameter(&Effect(), probe::kProbeLevelParameter, 0.25f);
    std::vector<int16_t> buffer(2 * kCallbackFrames);
    engine->StreamCallback(buffer.data(), false);
    panel.UpdateMeters();
    const int volume = engine->song.settings.masterVolume;
    const int left = VuBarPosition(volume, engine->effects.PeakLeft());
    EXPECT_GT(left, 0);
    EXPECT_EQ(panel.Bar(kVuLeftBar)->value(), left);
    EXPECT_EQ(panel.Bar(kVuRightBar)->value(), VuBarPosition(volume, engine->effects.PeakRight()));
    EXPECT_EQ(panel.Bar(kVuLeftBar)->maximum(), 128);
    EXPECT_EQ(panel.Bar(kCpuBar)->maximum(), 100);
    EXPECT_EQ(TextOf(kCpuText), QString("%1%").arg(panel.Bar(kCpuBar)->value()));

    Move(kVolumeSlider, 0);
    panel.UpdateMeters();
    EXPECT_EQ(panel.Bar(kVuLeftBar)->value(), 0);
    EXPECT_EQ(panel.Bar(kVuRightBar)->value(), 0);
}

TEST_F(ControlPanelTest, EffectButtonsWaitForTheirWindows) {
    EXPECT_FALSE(panel.Button(kReverbDialogButton)->isEnabled());
    int opened = 0;
    panel.SetEffectWindow(kReverbDialogButton, [&] { ++opened; });
    EXPECT_TRUE(panel.Button(kReverbDialogButton)->isEnabled());
    Click(kReverbDialogButton);
    EXPECT_EQ(opened, 1);
}

} // namespace
} // namespace vantreel::test
