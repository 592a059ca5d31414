#pragma once
// What the delay, reverb and chorus windows show and do, without any widget: their
// controls and where they sit, which setting each slider edits and in which range,
// the value labels' texts, the stores into the song's settings, and the delay
// window's synchro buttons and "Cross delay" box. The windows only lay these out
// and forward to them.
//
// Threads: user-interface thread. Every store is one atomic store that the audio
// thread picks up at its next block.

#include "editors/SongSetting.h"
#include "effects/Chorus.h"
#include "effects/ParameterUnit.h"
#include "effects/StereoDelay.h"
#include "shell/DialogRect.h"
#include "shell/PanelLogic.h"
#include "song/SongSettings.h"

#include <string>
#include <vector>

namespace vantreel {

constexpr SliderRange kDelayTimeRange{0, kMaxDelayTime};
constexpr SliderRange kEffectLevelRange{0, kParameterMax};
constexpr SliderRange kChorusDelayRange{0, kMaxChorusDelay};
constexpr SliderRange kLfoSpeedRange{0, kMaxLfoSpeed};

// The reverb's mode label says "Stereo" up to this value and "Linked" above it.
constexpr int kStereoModeMaximum = 64;

// Control identifiers. Each window numbers its own controls, so they overlap.
enum EffectControlId : int {
    // "Delay FX"
    kCrossDelayBox = 1043,
    kLeftDelayLabel = 1044,
    kRightDelayLabel = 1045,
    kLeftFeedbackLabel = 1046,
    kRightFeedbackLabel = 1047,
    kLeftDelaySlider = 1048,
    kRightDelaySlider = 1049,
    kLeftFeedbackSlider = 1050,
    kRightFeedbackSlider = 1051,
    kLeftSynchroButton = 1052, // "x1"; "x2".."x6" follow
    kRightSynchroButton = 1058,
    // "Reverb FX"
    kRoomLabel = 1053,
    kRoomSlider = 1054,
    kDampLabel = 1055,
    kDampSlider = 1056,
    kWidthLabel = 1057,
    kWidthSlider = 1058,
    kModeLabel = 1059,
    kModeSlider = 1060,
    // "Chorus FX"
    kChorusDelaySlider = 1038,
    kLfoSpeedSlider = 1039,
    kChorusModSlider = 1040,
    kChorusFeedbackSlider = 1041,
    kChorusDelayLabel = 1042,
    kLfoSpeedLabel = 1043,
    kChorusModLabel = 1044,
    kChorusFeedbackLabel = 1045,
};

enum class EffectWindowKind { Delay, Reverb, Chorus };

enum class EffectField {
    DelayLeft,
    DelayRight,
    FeedbackLeft,
    FeedbackRight,
    Room,
    Damp,
    Width,
    Mode,
    ChorusDelay,
    LfoSpeed,
    ChorusMod,
    ChorusFeedback,
};

enum class ValueLabelStyle {
    DelayMilliseconds,  // "%.1f ms." through the single-precision factor
    ChorusMilliseconds, // "%.1f ms." through the double-precision factor
    Percent,            // "%.1f%%" of 128
    Number,             // "%.1d"
    ReverbMode,         // "Stereo" or "Linked"
};

// One slider row: the text on the left, the slider and its value label, the row's
// top in dialog units, and the setting the slider edits.
struct EffectSlider {
    const char* leftText;
    int sliderId;
    int labelId;
    int row;
    SliderRange range;
    EffectField field;
    ValueLabelStyle style;
};

// A row of buttons "x1".."x6" setting the delay slider `sliderIndex` to that many
// lines.
struct SynchroRow {
    const char* leftText;
    int firstButtonId;
    int row;
    int sliderIndex;
};

struct CrossDelayOption {
    const char* leftText = nullptr;
    const char* boxText = nullptr;
    int boxId = 0;
    int row = 0;
};

struct EffectWindowTable {
    EffectWindowKind kind;
    const char* title;
    int width; // dialog units
    int height;
    std::vector<EffectSlider> sliders;
    std::vector<SynchroRow> synchroRows;
    bool hasCrossDelay;
    CrossDelayOption crossDelay;
    // The reverb window leaves its labels alone until it is ready.
    bool labelsWaitForReady;
};

const EffectWindowTable& EffectWindow(EffectWindowKind kind);

constexpr int kSynchroButtonCount = 6;

// Where a row's parts sit, in dialog units.
DialogRect LeftTextRect(int row);
DialogRect EffectSliderRect(int row);
DialogRect ValueLabelRect(int row);
DialogRect SynchroButtonRect(int row, int button); // button 0 is "x1"
DialogRect CrossDelayRect(int row);
std::string SynchroButtonText(int button);

int ReadEffectField(const SongSettings& settings, EffectField field);
// 16-bit settings take the whole position, byte settings its low eight bits.
void StoreEffectField(SongSettings& settings, EffectField field, int position);
std::string EffectValueText(ValueLabelStyle style, int value);
SongSetting SettingOf(EffectField field);

class UndoHistory;

// One opening of an effect window. It starts not ready, so the positions the window
// sets while it fills its sliders are not stored back. With a history, each change
// is recorded there; one drag (`continuing`) is one step.
class EffectWindowLogic {
public:
    EffectWindowLogic(SongSettings& settings, EffectWindowKind kind,
                      UndoHistory* history = nullptr);

    const EffectWindowTable& Table() const { return table; }
    bool Ready() const { return ready; }
    void SetReady(bool isReady) { ready = isReady; }

    // Where slider `sliderIndex` starts: its setting's value.
    int InitialPosition(int sliderIndex) const;
    bool CrossDelayChecked() const;

    // Slider `sliderIndex` now stands at `position`, moved by the user or set by the
    // program. Stores it while ready; true when the labels are to be refreshed.
    bool OnSliderChanged(int sliderIndex, int position, bool continuing = false);
    // The slider was let go: its next change is a step of its own.
    void OnSliderReleased();
    // The value label of slider `sliderIndex`, from its setting.
    std::string LabelText(int sliderIndex) const;

    // "x`multiple`" of `row`: the delay of that many lines, as far as the slider
    // reaches, stored through the slider's handler. Returns the slider's position.
    int OnSynchro(const SynchroRow& row, int multiple);
    // "Cross delay" clicked: 1 when it is now checked, else 0.
    void OnCrossDelay(bool checked);

private:
    void Store(SongSetting setting, EffectField field, int position, bool continuing);

    SongSettings& settings;
    const EffectWindowTable& table;
    UndoHistory* history;
    bool ready = false;
};

} // namespace vantreel
