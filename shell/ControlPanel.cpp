#include "shell/ControlPanel.h"

#include "editors/SongSetting.h"
#include "editors/UndoHistory.h"
#include "engine/AudioEngine.h"
#include "shell/PanelLogic.h"
#include "shell/PanelText.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <vector>

namespace vantreel {

namespace {

const char* const kCaption = "Vantreel tool bar";

struct PanelSlider {
    PanelControlId id;
    SliderRange range;
};

struct SliderSetting {
    PanelControlId id;
    SongSetting setting;
};

constexpr SliderSetting kSliderSettings[] = {
    {kDelaySendSlider, SongSetting::DelaySend},
    {kReverbSendSlider, SongSetting::ReverbSend},
    {kChorusSendSlider, SongSetting::ChorusSend},
    {kTempoSlider, SongSetting::Tempo},
    {kVolumeSlider, SongSetting::MasterVolume},
    {kThresholdSlider, SongSetting::CompressorThreshold},
    {kRatioSlider, SongSetting::CompressorRatio},
    {kSmoothnessSlider, SongSetting::CompressorSmoothness},
    {kLowShelfSlider, SongSetting::LowShelf},
    {kPeakingSlider, SongSetting::Peaking},
    {kHighShelfSlider, SongSetting::HighShelf},
};

constexpr PanelSlider kSliders[] = {
    {kParameterValueSlider, kParameterValueRange},
    {kDelaySendSlider, kSendRange},
    {kReverbSendSlider, kSendRange},
    {kChorusSendSlider, kSendRange},
    {kTempoSlider, kTempoRange},
    {kVolumeSlider, kVolumeRange},
    {kThresholdSlider, kThresholdRange},
    {kRatioSlider, kRatioRange},
    {kSmoothnessSlider, kSmoothnessRange},
    {kLowShelfSlider, kEqualizerRange},
    {kPeakingSlider, kEqualizerRange},
    {kHighShelfSlider, kEqualizerRange},
};

constexpr SliderRange kVuRange{0, kVuBarMax};
constexpr SliderRange kCpuRange{0, kCpuBarMax};

QWidget* CreateLabel(const PanelControl& control, QWidget& form) {
    auto* label = new QLabel(control.text, &form);
    label->setAlignment(Qt::AlignCenter);
    if (control.kind == PanelControlKind::Heading) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    }
    return label;
}

QWidget* CreateButton(const PanelControl& control, QWidget& form) {
    auto* button = new QPushButton(control.text, &form);
    button->setFocusPolicy(Qt::NoFocus); // typing stays with the editors
    button->setAutoDefault(false);
    return button;
}

QWidget* CreateSlider(QWidget& form) {
    auto* slider = new QSlider(Qt::Horizontal, &form);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setFocusPolicy(Qt::ClickFocus);
    return slider;
}

QWidget* CreateBar(QWidget& form) {
    auto* bar = new QProgressBar(&form);
    bar->setTextVisible(false);
    return bar;
}

} // namespace

ControlPanel::ControlPanel(AudioEngine& engine, UserMessages& messages, QWidget* parent)
    : QDockWidget(kCaption, parent), engine(engine), messages(messages) {
    setObjectName("ControlPanel");
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    // No close box: there is no menu entry to bring the panel back.
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* form = new QWidget(this);
    form->setObjectName("ControlPanelForm");
    form->setFont(DialogFont());
    BuildControls(*form);
    setWidget(form);
    SetSliderRanges();
    for (PanelControlId id : {kDelayDialogButton, kReverbDialogButton, kChorusDialogButton}) {
        Button(id)->setEnabled(false); // until the effect's window is given
    }
}

void ControlPanel::BuildControls(QWidget& form) {
    const DialogBaseUnits units = BaseUnitsOf(form.font());
    form.setFixedSize(ToPixels(kControlPanelWidth, kControlPanelHeight, units));
    for (const PanelControl& control : ControlPanelLayout()) {
        QWidget* widget = CreateControl(control, form);
        widget->setGeometry(ToPixels(control.rect, units));
        if (control.id == kNoControlId) {
            continue;
        }
        widget->setObjectName(QString("control%1").arg(int(control.id)));
        controls[control.id] = widget;
    }
}

QWidget* ControlPanel::CreateControl(const PanelControl& control, QWidget& form) {
    switch (control.kind) {
    case PanelControlKind::Heading:
    case PanelControlKind::Label:
        return CreateLabel(control, form);
    case PanelControlKind::Text:
        return new PanelText(&form);
    case PanelControlKind::Button: {
        QWidget* button = CreateButton(control, form);
        connect(static_cast<QPushButton*>(button), &QPushButton::clicked, this,
                [this, id = control.id] { OnButton(id); });
        return button;
    }
    case PanelControlKind::Slider: {
        QWidget* slider = CreateSlider(form);
        connect(static_cast<QSlider*>(slider), &QSlider::valueChanged, this,
                [this, id = control.id](int position) { OnSliderMoved(id, position); });
        // One drag is one step of the history: letting go ends it.
        connect(static_cast<QSlider*>(slider), &QSlider::sliderReleased, this, [this] {
            if (history != nullptr) {
                history->EndCoalescing();
            }
        });
        return slider;
    }
    case PanelControlKind::ProgressBar:
        break;
    }
    return CreateBar(form);
}

void ControlPanel::SetSliderRanges() {
    for (const PanelSlider& slider : kSliders) {
        const QSignalBlocker blocker(Slider(slider.id));
        Slider(slider.id)->setRange(slider.range.minimum, slider.range.maximum);
    }
    Bar(kVuLeftBar)->setRange(kVuRange.minimum, kVuRange.maximum);
    Bar(kVuRightBar)->setRange(kVuRange.minimum, kVuRange.maximum);
    Bar(kCpuBar)->setRange(kCpuRange.minimum, kCpuRange.maximum);
}

void ControlPanel::Refresh() {
    // A refresh from inside the plug-in editor's time keeps the panel shut after it.
    const bool wasReady = ready;
    ready = false;
    {
        // A position set here is the model's own; reporting it back would only
        // start another refresh.
        std::vector<QSignalBlocker> blockers;
        blockers.reserve(std::size(kSliders));
        for (const PanelSlider& slider : kSliders) {
            blockers.emplace_back(Slider(slider.id));
        }
        ShowPluginTexts();
        ShowSliderPositions();
    }
    if (repaintEditors) {
        repaintEditors();
    }
    ready = wasReady;
}

void ControlPanel::ShowPluginTexts() {
    const PluginPanelTexts texts = ReadPluginPanelTexts(engine);
    Text(kSlotText)->SetFullText(FromEightBit(texts.slot));
    Text(kProgramText)->SetFullText(FromEightBit(texts.program));
    Text(kParameterText)->SetFullText(FromEightBit(texts.parameter));
    Text(kDescriptionText)->SetFullText(FromEightBit(texts.description));
    if (texts.parameterPosition) {
        SetPosition(kParameterValueSlider, *texts.parameterPosition);
    }
}

void ControlPanel::ShowSliderPositions() {
    const PluginSlot& slot = engine.song.slots[engine.editor.currentSlot];
    SetPosition(kDelaySendSlider, slot.sendDelay);
    SetPosition(kReverbSendSlider, slot.sendReverb);
    SetPosition(kChorusSendSlider, slot.sendChorus);
    const SongSettings& settings = engine.song.settings;
    SetPosition(kTempoSlider, settings.lineLength);
    Text(kTempoText)->SetFullText(QString::fromStdString(TempoText(engine.GetTempo())));
    SetPosition(kVolumeSlider, settings.masterVolume);
    SetPosition(kThresholdSlider, settings.compressor.threshold);
    SetPosition(kRatioSlider, settings.compressor.ratio);
    SetPosition(kSmoothnessSlider, settings.compressor.smoothness);
    SetPosition(kLowShelfSlider, settings.equalizer.lowGain);
    SetPosition(kPeakingSlider, settings.equalizer.peakGain);
    SetPosition(kHighShelfSlider, settings.equalizer.highGain);
}

void ControlPanel::SetPosition(PanelControlId id, int position) {
    Slider(id)->setValue(position);
}

void ControlPanel::OnSliderMoved(PanelControlId id, int position) {
    if (id == kParameterValueSlider) {
        if (ready) {
            SetParameterFromSlider(engine, position);
            MarkPluginChanged();
        }
        // The plug-in's display of the new value.
        Refresh();
        return;
    }
    if (!ready) {
        return;
    }
    WriteSetting(id, position);
    if (id == kTempoSlider) {
        Refresh(); // the BPM text follows
    }
}

// A drag of one slider is one step of the history; the slot settings belong to the
// current slot.
void ControlPanel::WriteSetting(PanelControlId id, int position) {
    const int slot = std::clamp<int>(engine.editor.currentSlot, 0, kSlotCount - 1);
    for (const SliderSetting& entry : kSliderSettings) {
        if (entry.id != id) {
            continue;
        }
        if (history != nullptr) {
            history->ChangeSetting(entry.setting, slot, position, Slider(id)->isSliderDown());
        } else {
            StoreSongSetting(engine.song, entry.setting, slot, position);
        }
        return;
    }
}

// Plug-in parameters are not undone, but the song is no longer what was saved.
void ControlPanel::MarkPluginChanged() {
    if (engine.CurrentEffect() != nullptr) {
        engine.modified.Mark();
    }
}

void ControlPanel::UpdateMeters() {
    const int volume = engine.song.settings.masterVolume;
    Bar(kVuLeftBar)->setValue(VuBarPosition(volume, engine.effects.PeakLeft()));
    Bar(kVuRightBar)->setValue(VuBarPosition(volume, engine.effects.PeakRight()));
    const int cpu = CpuPercent(engine.CpuUsage());
    Bar(kCpuBar)->setValue(cpu);
    Text(kCpuText)->SetFullText(QString::fromStdString(CpuText(cpu)));
}

void ControlPanel::SetEffectWindow(PanelControlId button, std::function<void()> open) {
    Button(button)->setEnabled(bool(open));
    effectWindows[button] = std::move(open);
}

QSlider* ControlPanel::Slider(PanelControlId id) const {
    return static_cast<QSlider*>(controls.at(id));
}

QPushButton* ControlPanel::Button(PanelControlId id) const {
    return static_cast<QPushButton*>(controls.at(id));
}

QProgressBar* ControlPanel::Bar(PanelControlId id) const {
    return static_cast<QProgressBar*>(controls.at(id));
}

PanelText* ControlPanel::Text(PanelControlId id) const {
    return static_cast<PanelText*>(controls.at(id));
}

} // namespace vantreel
