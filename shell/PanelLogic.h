#pragma once
// What the control panel shows and does, without any widget: the texts it formats,
// the conversions between slider positions and the model, and the effects of its
// plug-in buttons on the engine. The panel's widgets only move these values around.
//
// Threads: user-interface thread (the plug-in calls are made on it).

#include "effects/EffectRanges.h"
#include "song/SongSettings.h"

#include <functional>
#include <optional>
#include <string>

namespace vantreel {

class AudioEngine;

struct SliderRange {
    int minimum;
    int maximum;
};

constexpr SliderRange kParameterValueRange{0, 256}; // 256 is a parameter value of 1.0
constexpr SliderRange kSendRange{0, kParameterMax};
constexpr SliderRange kTempoRange{kMinLineLength, kMaxLineLength};
constexpr SliderRange kVolumeRange{0, kMaxMasterVolume};
constexpr SliderRange kThresholdRange{0, kParameterMax};
constexpr SliderRange kRatioRange{0, kLimitingRatio};
constexpr SliderRange kSmoothnessRange{0, kParameterMax};
constexpr SliderRange kEqualizerRange{-kMaxEqualizerGain, kMaxEqualizerGain};
constexpr SliderRange kPatternLengthRange{0, 256};

// Shown instead of the plug-in's texts while the slot is empty.
constexpr const char* kNoPluginText = "---";

// "07: name": the slot counted from 0.
std::string SlotText(int slot, const std::string& name);
// The slot's library name, "Not instanced" for an empty slot, or the name of the
// library a loaded project asked for but that was missing, marked as such.
std::string SlotDisplayName(const AudioEngine& engine, int slot);
// "1A: name": a program or parameter number in upper-case hexadecimal.
std::string IndexedText(int index, const std::string& name);
// The plug-in's display of a value, then its unit.
std::string DescriptionText(const std::string& display, const std::string& label);
std::string TempoText(double bpm);        // "125.00"
std::string CpuText(int percent);         // "37%"
std::string PatternLengthText(int lines); // "64 lines"
// The delay calculator's report for a tempo of `lineLength` samples per line.
std::string DelayCalculatorText(int lineLength);

int ParameterSliderPosition(float value); // floor(value * 256)
float ParameterFromSlider(int position);  // position / 256

// Everything the panel shows of the current slot's plug-in.
struct PluginPanelTexts {
    std::string slot;
    std::string program = kNoPluginText;
    std::string parameter = kNoPluginText;
    std::string description = kNoPluginText;
    // The P. Value position; empty when the slider is to stay where it is.
    std::optional<int> parameterPosition;
};

// Asks the current slot's plug-in for its texts. A parameter index the plug-in does
// not have (left over from a plug-in with more parameters) is first brought back
// into its range, so no plug-in is ever asked about a parameter it lacks.
PluginPanelTexts ReadPluginPanelTexts(AudioEngine& engine);

// The panel's buttons. Each changes the model only; the caller refreshes the panel.
void StepSlot(AudioEngine& engine, int delta);      // wraps; parameter index back to 0
void StepProgram(AudioEngine& engine, int delta);   // stays within the plug-in's programs
void StepParameter(AudioEngine& engine, int delta); // stays within its parameters
// Sets every parameter to random(0..32767) / 32768, in order, so never to 1.0.
void RandomiseParameters(AudioEngine& engine, const std::function<int()>& random15);
// A 15-bit pseudo-random number from a generator the program never seeds, so every
// run draws the same sequence.
int NextRandom15();
// The P. Value slider moved: the current parameter takes the position's value.
void SetParameterFromSlider(AudioEngine& engine, int position);

} // namespace vantreel
