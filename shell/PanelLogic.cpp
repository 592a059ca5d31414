#include "shell/PanelLogic.h"

#include "editors/EditorStateAccess.h"
#include "editors/SlotStep.h"
#include "engine/AudioEngine.h"
#include "plugins/PluginCalls.h"
#include "plugins/PluginText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace vantreel {

namespace {

constexpr double kParameterSteps = 256.0;
// The calculator works at this rate whatever the song's rate is.
constexpr double kCalculatorSampleRate = kDefaultSampleRate;
constexpr double kMillisecondsPerBeatMinute = kLineSecondsAtOneBpm * 1000.0;
constexpr int kRandomMask = 0x7FFF;
constexpr double kRandomScale = 32768.0;
constexpr int kFormatBufferSize = 512;
const char* const kMissingMark = " (missing)";

template <typename... Args> std::string Format(const char* format, Args... args) {
    char text[kFormatBufferSize];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// Held inside the slots: the field is shared, and a damaged value must not index past them.
int CurrentSlot(const AudioEngine& engine) {
    return CurrentSlotIndex(engine);
}

// The current slot's instance, or null when the slot is empty.
AEffect* InstancedEffect(const AudioEngine& engine) {
    return engine.LivePlugin(CurrentSlot(engine));
}

int ProgramOf(AEffect* effect) {
    return static_cast<int>(plugin::GetProgram(effect));
}

// Keeps the parameter index inside the plug-in's parameters; true when it names one.
bool ClampParameter(AudioEngine& engine, AEffect* effect) {
    const int count = effect->numParams;
    const int current = engine.editor.currentParameter;
    if (current >= count || current < 0) {
        engine.editor.currentParameter = count > 0 ? count - 1 : 0;
    }
    return count > 0;
}

} // namespace

std::string SlotText(int slot, const std::string& name) {
    return Format("%.2d: %s", slot, name.c_str());
}

std::string SlotDisplayName(const AudioEngine& engine, int slot) {
    const MissingPluginRecord& missing = engine.missingPlugins[slot];
    if (!engine.song.slots[slot].IsInstanced() && missing.kept) {
        return missing.Name() + kMissingMark;
    }
    char name[kTextSize];
    engine.GetSlotName(slot, name);
    return name;
}

std::string IndexedText(int index, const std::string& name) {
    return Format("%.2X: %s", static_cast<unsigned>(index), name.c_str());
}

std::string DescriptionText(const std::string& display, const std::string& label) {
    return display + " " + label;
}

std::string TempoText(double bpm) {
    return Format("%.2f", bpm);
}

std::string CpuText(int percent) {
    return Format("%d%%", percent);
}

std::string PatternLengthText(int lines) {
    return Format("%d lines", lines);
}

std::string DelayCalculatorText(int lineLength) {
    const double line = lineLength * 1000.0 / kCalculatorSampleRate;
    const double bpm = kMillisecondsPerBeatMinute / line;
    return Format("At current tempo [%f BPM]:\n\nx1 Line = %f ms.\nx2 Lines = %f ms.\nx3 Lines = "
                  "%f ms.\nx4 Lines = %f ms.\nx5 Lines = %f ms.\nx6 Lines = %f ms.\n",
                  bpm, line, 2 * line, 3 * line, 4 * line, 5 * line, 6 * line);
}

int ParameterSliderPosition(float value) {
    // A plug-in answering outside 0..1 (or not a number) must not overflow the cast.
    if (std::isnan(value)) {
        return kParameterValueRange.minimum;
    }
    const double position = std::floor(double(value) * kParameterSteps);
    return static_cast<int>(
        std::clamp<double>(position, kParameterValueRange.minimum, kParameterValueRange.maximum));
}

float ParameterFromSlider(int position) {
    return static_cast<float>(position / kParameterSteps);
}

PluginPanelTexts ReadPluginPanelTexts(AudioEngine& engine) {
    PluginPanelTexts texts;
    texts.slot = SlotText(CurrentSlot(engine), SlotDisplayName(engine, CurrentSlot(engine)));
    AEffect* effect = InstancedEffect(engine);
    if (effect == nullptr) {
        return texts;
    }
    texts.program = IndexedText(ProgramOf(effect), GetProgramName(effect));
    if (!ClampParameter(engine, effect)) {
        return texts;
    }
    const int parameter = engine.editor.currentParameter;
    texts.parameter = IndexedText(parameter, GetParamName(effect, parameter));
    texts.description =
        DescriptionText(GetParamDisplay(effect, parameter), GetParamLabel(effect, parameter));
    texts.parameterPosition = ParameterSliderPosition(plugin::GetParameter(effect, parameter));
    return texts;
}

void StepSlot(AudioEngine& engine, int delta) {
    engine.editor.currentParameter = 0;
    engine.editor.currentSlot = SteppedSlot(engine.editor.currentSlot, delta);
}

void StepProgram(AudioEngine& engine, int delta) {
    AEffect* effect = InstancedEffect(engine);
    if (effect == nullptr) {
        return;
    }
    // Many plug-ins index their program table with the number unchecked, so the
    // host never passes one outside it.
    const int program = ProgramOf(effect) + delta;
    if (program >= 0 && program < effect->numPrograms) {
        plugin::SetProgram(effect, program);
    }
}

void StepParameter(AudioEngine& engine, int delta) {
    const int parameter = engine.editor.currentParameter + delta;
    if (delta < 0) {
        if (parameter >= 0) {
            engine.editor.currentParameter = parameter;
        }
        return;
    }
    AEffect* effect = InstancedEffect(engine);
    if (effect != nullptr && parameter < effect->numParams) {
        engine.editor.currentParameter = parameter;
    }
}

void RandomiseParameters(AudioEngine& engine, const std::function<int()>& random15) {
    AEffect* effect = InstancedEffect(engine);
    if (effect == nullptr) {
        return;
    }
    for (int parameter = 0; parameter < effect->numParams; ++parameter) {
        const int r = random15() & kRandomMask;
        plugin::SetParameter(effect, parameter, static_cast<float>(r / kRandomScale));
    }
}

int NextRandom15() {
    static std::minstd_rand generator; // default seed: the same sequence every run
    constexpr int kHighBitsShift = 16; // the generator's low bits are its weakest
    return static_cast<int>(generator() >> kHighBitsShift) & kRandomMask;
}

void SetParameterFromSlider(AudioEngine& engine, int position) {
    AEffect* effect = InstancedEffect(engine);
    if (effect == nullptr) {
        return;
    }
    const int parameter = engine.editor.currentParameter;
    if (parameter >= 0 && parameter < effect->numParams) {
        plugin::SetParameter(effect, parameter, ParameterFromSlider(position));
    }
}

} // namespace vantreel
