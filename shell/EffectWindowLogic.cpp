#include "shell/EffectWindowLogic.h"

#include "editors/UndoHistory.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vantreel {

namespace {

// Every row: a text on the left, the control, and a value label on the right.
constexpr int kLeftTextX = 4;
constexpr int kLeftTextWidth = 64;
constexpr int kControlX = 68;
constexpr int kSliderWidth = 128;
constexpr int kValueLabelX = 196;
constexpr int kValueLabelWidth = 64;
constexpr int kRowHeight = 12;
constexpr int kSynchroButtonWidth = 16;
constexpr int kCrossDelayWidth = 64;

constexpr int kWindowWidth = 262;
constexpr int kDelayWindowHeight = 116;
constexpr int kSmallWindowHeight = 68;

// The millisecond labels count 44100 samples to the second whatever the song's rate;
// the two windows have always used these two precisions of 1000 / 44100.
constexpr float kDelayMillisecondsPerSample = 0.022675737f;
constexpr double kChorusMillisecondsPerSample = 0.022675736961451247;
constexpr double kPercentPerLevel = 0.78125; // 100 / 128

constexpr int kFormatBufferSize = 64;

template <typename T> std::string Format(const char* format, T value) {
    char text[kFormatBufferSize];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

EffectWindowTable DelayTable() {
    using F = EffectField;
    using S = ValueLabelStyle;
    return {EffectWindowKind::Delay,
            "Delay FX",
            kWindowWidth,
            kDelayWindowHeight,
            {
                {"Left delay", kLeftDelaySlider, kLeftDelayLabel, 4, kDelayTimeRange, F::DelayLeft,
                 S::DelayMilliseconds},
                {"Right delay", kRightDelaySlider, kRightDelayLabel, 20, kDelayTimeRange,
                 F::DelayRight, S::DelayMilliseconds},
                {"Left feedback", kLeftFeedbackSlider, kLeftFeedbackLabel, 36, kEffectLevelRange,
                 F::FeedbackLeft, S::Percent},
                {"Right feedback", kRightFeedbackSlider, kRightFeedbackLabel, 52, kEffectLevelRange,
                 F::FeedbackRight, S::Percent},
            },
            {
                {"Left synchro", kLeftSynchroButton, 68, 0},
                {"Right synchro", kRightSynchroButton, 84, 1},
            },
            true,
            {"Options", "Cross delay", kCrossDelayBox, 100},
            false};
}

EffectWindowTable ReverbTable() {
    using F = EffectField;
    using S = ValueLabelStyle;
    return {EffectWindowKind::Reverb,
            "Reverb FX",
            kWindowWidth,
            kSmallWindowHeight,
            {
                {"Room", kRoomSlider, kRoomLabel, 4, kEffectLevelRange, F::Room, S::Percent},
                {"Damp", kDampSlider, kDampLabel, 20, kEffectLevelRange, F::Damp, S::Percent},
                {"Width", kWidthSlider, kWidthLabel, 36, kEffectLevelRange, F::Width, S::Percent},
                {"Mode", kModeSlider, kModeLabel, 52, kEffectLevelRange, F::Mode, S::ReverbMode},
            },
            {},
            false,
            {},
            true};
}

EffectWindowTable ChorusTable() {
    using F = EffectField;
    using S = ValueLabelStyle;
    return {EffectWindowKind::Chorus,
            "Chorus FX",
            kWindowWidth,
            kSmallWindowHeight,
            {
                {"Delay", kChorusDelaySlider, kChorusDelayLabel, 4, kChorusDelayRange,
                 F::ChorusDelay, S::ChorusMilliseconds},
                {"LFO speed", kLfoSpeedSlider, kLfoSpeedLabel, 20, kLfoSpeedRange, F::LfoSpeed,
                 S::Number},
                {"Mod", kChorusModSlider, kChorusModLabel, 36, kEffectLevelRange, F::ChorusMod,
                 S::Percent},
                {"Feedback", kChorusFeedbackSlider, kChorusFeedbackLabel, 52, kEffectLevelRange,
                 F::ChorusFeedback, S::Percent},
            },
            {},
            false,
            {},
            false};
}

} // namespace

const EffectWindowTable& EffectWindow(EffectWindowKind kind) {
    static const EffectWindowTable delay = DelayTable();
    static const EffectWindowTable reverb = ReverbTable();
    static const EffectWindowTable chorus = ChorusTable();
    switch (kind) {
    case EffectWindowKind::Delay:
        return delay;
    case EffectWindowKind::Reverb:
        return reverb;
    case EffectWindowKind::Chorus:
        break;
    }
    return chorus;
}

DialogRect LeftTextRect(int row) {
    return {kLeftTextX, row, kLeftTextWidth, kRowHeight};
}

DialogRect EffectSliderRect(int row) {
    return {kControlX, row, kSliderWidth, kRowHeight};
}

DialogRect ValueLabelRect(int row) {
    return {kValueLabelX, row, kValueLabelWidth, kRowHeight};
}

DialogRect SynchroButtonRect(int row, int button) {
    return {kControlX + button * kSynchroButtonWidth, row, kSynchroButtonWidth, kRowHeight};
}

DialogRect CrossDelayRect(int row) {
    return {kControlX, row, kCrossDelayWidth, kRowHeight};
}

std::string SynchroButtonText(int button) {
    return Format("x%d", button + 1);
}

int ReadEffectField(const SongSettings& settings, EffectField field) {
    switch (field) {
    case EffectField::DelayLeft:
        return settings.delay.delayLeft;
    case EffectField::DelayRight:
        return settings.delay.delayRight;
    case EffectField::FeedbackLeft:
        return settings.delay.feedbackLeft;
    case EffectField::FeedbackRight:
        return settings.delay.feedbackRight;
    case EffectField::Room:
        return settings.reverb.room;
    case EffectField::Damp:
        return settings.reverb.damp;
    case EffectField::Width:
        return settings.reverb.width;
    case EffectField::Mode:
        return settings.reverb.mode;
    case EffectField::ChorusDelay:
        return settings.chorus.chorusDelay;
    case EffectField::LfoSpeed:
        return settings.chorus.lfoSpeed;
    case EffectField::ChorusMod:
        return settings.chorus.chorusMod;
    case EffectField::ChorusFeedback:
        break;
    }
    return settings.chorus.chorusFeedback;
}

void StoreEffectField(SongSettings& settings, EffectField field, int position) {
    const auto word = static_cast<uint16_t>(position);
    const auto byte = static_cast<uint8_t>(position);
    switch (field) {
    case EffectField::DelayLeft:
        settings.delay.delayLeft = word;
        return;
    case EffectField::DelayRight:
        settings.delay.delayRight = word;
        return;
    case EffectField::FeedbackLeft:
        settings.delay.feedbackLeft = byte;
        return;
    case EffectField::FeedbackRight:
        settings.delay.feedbackRight = byte;
        return;
    case EffectField::Room:
        settings.reverb.room = byte;
        return;
    case EffectField::Damp:
        settings.reverb.damp = byte;
        return;
    case EffectField::Width:
        settings.reverb.width = byte;
        return;
    case EffectField::Mode:
        settings.reverb.mode = byte;
        return;
    case EffectField::ChorusDelay:
        settings.chorus.chorusDelay = word;
        return;
    case EffectField::LfoSpeed:
        settings.chorus.lfoSpeed = word;
        return;
    case EffectField::ChorusMod:
        settings.chorus.chorusMod = byte;
        return;
    case EffectField::ChorusFeedback:
        settings.chorus.chorusFeedback = byte;
        return;
    }
}

std::string EffectValueText(ValueLabelStyle style, int value) {
    switch (style) {
    case ValueLabelStyle::DelayMilliseconds:
        return Format("%.1f ms.", double(float(value) * kDelayMillisecondsPerSample));
    case ValueLabelStyle::ChorusMilliseconds:
        return Format("%.1f ms.", value * kChorusMillisecondsPerSample);
    case ValueLabelStyle::Percent:
        return Format("%.1f%%", value * kPercentPerLevel);
    case ValueLabelStyle::Number:
        return Format("%.1d", value);
    case ValueLabelStyle::ReverbMode:
        break;
    }
    return value > kStereoModeMaximum ? "Linked" : "Stereo";
}

SongSetting SettingOf(EffectField field) {
    switch (field) {
    case EffectField::DelayLeft:
        return SongSetting::DelayLeft;
    case EffectField::DelayRight:
        return SongSetting::DelayRight;
    case EffectField::FeedbackLeft:
        return SongSetting::FeedbackLeft;
    case EffectField::FeedbackRight:
        return SongSetting::FeedbackRight;
    case EffectField::Room:
        return SongSetting::ReverbRoom;
    case EffectField::Damp:
        return SongSetting::ReverbDamp;
    case EffectField::Width:
        return SongSetting::ReverbWidth;
    case EffectField::Mode:
        return SongSetting::ReverbMode;
    case EffectField::ChorusDelay:
        return SongSetting::ChorusDelay;
    case EffectField::LfoSpeed:
        return SongSetting::LfoSpeed;
    case EffectField::ChorusMod:
        return SongSetting::ChorusMod;
    case EffectField::ChorusFeedback:
        break;
    }
    return SongSetting::ChorusFeedback;
}

EffectWindowLogic::EffectWindowLogic(SongSettings& settings, EffectWindowKind kind,
                                     UndoHistory* history)
    : settings(settings), table(EffectWindow(kind)), history(history) {}

// The history stores through the song's one setting table; the value is the same.
void EffectWindowLogic::Store(SongSetting setting, EffectField field, int position,
                              bool continuing) {
    if (history != nullptr) {
        history->ChangeSetting(setting, 0, position, continuing);
    } else {
        StoreEffectField(settings, field, position);
    }
}

void EffectWindowLogic::OnSliderReleased() {
    if (history != nullptr) {
        history->EndCoalescing();
    }
}

int EffectWindowLogic::InitialPosition(int sliderIndex) const {
    return ReadEffectField(settings, table.sliders[sliderIndex].field);
}

bool EffectWindowLogic::CrossDelayChecked() const {
    return settings.delay.crossDelay != 0;
}

bool EffectWindowLogic::OnSliderChanged(int sliderIndex, int position, bool continuing) {
    if (ready) {
        const EffectField field = table.sliders[sliderIndex].field;
        Store(SettingOf(field), field, position, continuing);
    }
    return ready || !table.labelsWaitForReady;
}

std::string EffectWindowLogic::LabelText(int sliderIndex) const {
    const EffectSlider& slider = table.sliders[sliderIndex];
    return EffectValueText(slider.style, ReadEffectField(settings, slider.field));
}

int EffectWindowLogic::OnSynchro(const SynchroRow& row, int multiple) {
    const SliderRange range = table.sliders[row.sliderIndex].range;
    // In 64 bits: a damaged tempo must not wrap around into a short delay.
    const int64_t lines = int64_t(multiple) * settings.lineLength.load();
    const int position = static_cast<int>(std::clamp<int64_t>(lines, range.minimum, range.maximum));
    OnSliderChanged(row.sliderIndex, position);
    return position;
}

void EffectWindowLogic::OnCrossDelay(bool checked) {
    if (history != nullptr) {
        history->ChangeSetting(SongSetting::CrossDelay, 0, checked ? 1 : 0, false);
    } else {
        settings.delay.crossDelay = checked ? 1 : 0;
    }
}

} // namespace vantreel
