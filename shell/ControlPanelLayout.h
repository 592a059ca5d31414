#pragma once
// The control panel's controls, top to bottom: what each is, its text and its
// rectangle in dialog units. The panel builds its widgets from this table.

#include "shell/DialogUnits.h"

#include <vector>

namespace vantreel {

enum PanelControlId : int {
    kNoControlId = 0, // headings and labels
    kSlotPrevious = 1000,
    kSlotNext = 1001,
    kOpenPlugin = 1002,
    kDeletePlugin = 1003,
    kProgramPrevious = 1004,
    kProgramNext = 1005,
    kParameterPrevious = 1006,
    kParameterNext = 1007,
    kRandomParameters = 1008,
    kEditPlugin = 1009,
    kDelayTimes = 1010,
    kCpuBar = 1016,
    kVolumeSlider = 1020,
    kVuLeftBar = 1021,
    kVuRightBar = 1022,
    kThresholdSlider = 1023,
    kRatioSlider = 1024,
    kSmoothnessSlider = 1025,
    kLowShelfSlider = 1026,
    kPeakingSlider = 1027,
    kHighShelfSlider = 1028,
    kSlotText = 1029,
    kProgramText = 1030,
    kParameterText = 1031,
    kParameterValueSlider = 1032,
    kDescriptionText = 1033,
    kDelaySendSlider = 1034,
    kReverbSendSlider = 1035,
    kChorusSendSlider = 1036,
    kDelayDialogButton = 1037,
    kReverbDialogButton = 1038,
    kChorusDialogButton = 1039,
    kCpuText = 1055,
    kTempoSlider = 1056,
    kTempoText = 1057,
};

enum class PanelControlKind { Heading, Label, Text, Button, Slider, ProgressBar };

struct PanelControl {
    PanelControlId id;
    PanelControlKind kind;
    const char* text;
    DialogRect rect;
};

constexpr int kControlPanelWidth = 151; // dialog units
constexpr int kControlPanelHeight = 436;

const std::vector<PanelControl>& ControlPanelLayout();

} // namespace vantreel
