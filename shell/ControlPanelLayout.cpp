#include "shell/ControlPanelLayout.h"

namespace vantreel {

namespace {

std::vector<PanelControl> BuildLayout() {
    using K = PanelControlKind;
    const PanelControlId none = kNoControlId;
    return {
        {none, K::Heading, "VST plugins", {4, 4, 144, 24}},
        {none, K::Label, "Slot", {4, 32, 48, 12}},
        {kSlotText, K::Text, "", {52, 32, 64, 12}},
        {kSlotPrevious, K::Button, "<", {116, 32, 16, 12}},
        {kSlotNext, K::Button, ">", {132, 32, 16, 12}},
        {kOpenPlugin, K::Button, "Open...", {4, 48, 48, 12}},
        {kEditPlugin, K::Button, "Edit...", {52, 48, 48, 12}},
        {kDeletePlugin, K::Button, "Delete", {100, 48, 48, 12}},
        {none, K::Label, "Program", {4, 64, 48, 12}},
        {kProgramText, K::Text, "", {52, 64, 64, 12}},
        {kProgramPrevious, K::Button, "<", {116, 64, 16, 12}},
        {kProgramNext, K::Button, ">", {132, 64, 16, 12}},
        {none, K::Label, "Parameter", {4, 80, 48, 12}},
        {kParameterText, K::Text, "", {52, 80, 64, 12}},
        {kParameterPrevious, K::Button, "<", {116, 80, 16, 12}},
        {kParameterNext, K::Button, ">", {132, 80, 16, 12}},
        {none, K::Label, "P. Value", {4, 96, 48, 12}},
        {kParameterValueSlider, K::Slider, "", {52, 96, 96, 12}},
        {none, K::Label, "P. Descrp.", {4, 112, 48, 12}},
        {kDescriptionText, K::Text, "", {52, 112, 96, 12}},
        {none, K::Label, "Options", {4, 128, 48, 12}},
        {kRandomParameters, K::Button, "Rnd. params", {52, 128, 48, 12}},
        {kDelayTimes, K::Button, "Delay times", {100, 128, 48, 12}},
        {kDelayDialogButton, K::Button, "Delay", {4, 144, 48, 12}},
        {kDelaySendSlider, K::Slider, "", {52, 144, 96, 12}},
        {kReverbDialogButton, K::Button, "Reverb", {4, 160, 48, 12}},
        {kReverbSendSlider, K::Slider, "", {52, 160, 96, 12}},
        {kChorusDialogButton, K::Button, "Chorus", {4, 176, 48, 12}},
        {kChorusSendSlider, K::Slider, "", {52, 176, 96, 12}},
        {none, K::Heading, "Audio", {4, 192, 144, 24}},
        {none, K::Label, "Cpu", {4, 220, 48, 12}},
        {kCpuBar, K::ProgressBar, "", {52, 220, 64, 12}},
        {kCpuText, K::Text, "", {116, 220, 32, 12}},
        {none, K::Label, "Vumeter", {4, 236, 48, 12}},
        {kVuLeftBar, K::ProgressBar, "", {52, 236, 96, 6}},
        {kVuRightBar, K::ProgressBar, "", {52, 243, 96, 6}},
        {none, K::Label, "Volume", {4, 252, 48, 12}},
        {kVolumeSlider, K::Slider, "", {52, 252, 96, 12}},
        {none, K::Label, "Tempo", {4, 268, 48, 12}},
        {kTempoSlider, K::Slider, "", {52, 268, 64, 12}},
        {kTempoText, K::Text, "", {116, 268, 32, 12}},
        {none, K::Heading, "Compressor", {4, 284, 144, 24}},
        {none, K::Label, "Threshold", {4, 312, 48, 12}},
        {kThresholdSlider, K::Slider, "", {52, 312, 96, 12}},
        {none, K::Label, "Ratio", {4, 328, 48, 12}},
        {kRatioSlider, K::Slider, "", {52, 328, 96, 12}},
        {none, K::Label, "Smoothness", {4, 344, 48, 12}},
        {kSmoothnessSlider, K::Slider, "", {52, 344, 96, 12}},
        {none, K::Heading, "Equalizer", {4, 360, 144, 24}},
        {none, K::Label, "Lowshelf", {4, 388, 48, 12}},
        {kLowShelfSlider, K::Slider, "", {52, 388, 96, 12}},
        {none, K::Label, "Peaking", {4, 404, 48, 12}},
        {kPeakingSlider, K::Slider, "", {52, 404, 96, 12}},
        {none, K::Label, "Hishelf", {4, 420, 48, 12}},
        {kHighShelfSlider, K::Slider, "", {52, 420, 96, 12}},
    };
}

} // namespace

const std::vector<PanelControl>& ControlPanelLayout() {
    static const std::vector<PanelControl> layout = BuildLayout();
    return layout;
}

} // namespace vantreel
