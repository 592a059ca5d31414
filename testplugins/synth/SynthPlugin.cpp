#include "testplugins/synth/SynthPlugin.h"

#include "testplugins/common/PluginExport.h"

#include <cstring>

namespace vantreel::synth {

namespace {

constexpr VstInt32 kUniqueId = plugintext::FourCharCode("VtSy");
constexpr VstInt32 kVersion = 1000;
constexpr VstInt32 kVstVersion = 2400;
constexpr VstIntPtr kPlugCategorySynth = 2;
constexpr const char* kEffectName = "VantreelSynth";
constexpr const char* kVendor = "Vantreel";
constexpr const char* kProduct = "Vantreel Synth";
constexpr const char* kCapabilities[] = {"receiveVstEvents", "receiveVstMidiEvent"};
constexpr int kBankChunkIndex = 0;

} // namespace

SynthPlugin::SynthPlugin(audioMasterCallback host) : host(host) {
    effect.magic = kEffectMagic;
    effect.dispatcher = &SynthPlugin::Dispatch;
    effect.process = &SynthPlugin::Process;
    effect.processReplacing = &SynthPlugin::ProcessReplacing;
    effect.setParameter = &SynthPlugin::SetParameter;
    effect.getParameter = &SynthPlugin::GetParameter;
    effect.numPrograms = kProgramCount;
    effect.numParams = kParameterCount;
    effect.numInputs = 0;
    effect.numOutputs = 2;
    effect.flags = effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth;
    effect.ioRatio = 1.0f;
    effect.object = this;
    effect.uniqueID = kUniqueId;
    effect.version = kVersion;
    if (host != nullptr) {
        // Our instance does not exist for the host yet, so it is asked without one.
        VstIntPtr rate = host(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
        if (rate > 0) {
            renderer.SetSampleRate(static_cast<float>(rate));
        }
    }
}

VstIntPtr SynthPlugin::Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt) {
    SynthPlugin* self = From(effect);
    if (opcode == effClose) {
        delete self;
        return 0;
    }
    return self->Dispatch(opcode, index, value, ptr, opt);
}

VstIntPtr SynthPlugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    switch (opcode) {
    case effSetProgram:
        programs.Select(static_cast<int>(value));
        return 0;
    case effGetProgram:
        return programs.Current();
    case effSetProgramName:
        programs.SetName(programs.Current(), static_cast<const char*>(ptr));
        return 0;
    case effSetSampleRate:
        renderer.SetSampleRate(opt);
        return 0;
    case effMainsChanged:
        // Both ways: nothing sounds on after a suspend, nothing stale after a resume.
        renderer.RequestReset();
        return 0;
    case effGetChunk:
        if (index != kBankChunkIndex || ptr == nullptr) {
            return 0;
        }
        return static_cast<VstIntPtr>(programs.SaveBank(static_cast<const void**>(ptr)));
    case effSetChunk:
        if (index != kBankChunkIndex || value < 0) {
            return 0;
        }
        return programs.LoadBank(ptr, static_cast<std::size_t>(value)) ? 1 : 0;
    case effProcessEvents:
        renderer.QueueEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case effCanBeAutomated:
        return index >= 0 && index < kParameterCount ? 1 : 0;
    case effGetPlugCategory:
        return kPlugCategorySynth;
    case effGetVendorVersion:
        return kVersion;
    case effGetVstVersion:
        return kVstVersion;
    case effCanDo:
        return plugintext::CanDo(ptr, kCapabilities);
    default:
        return DispatchText(opcode, index, ptr);
    }
}

// The opcodes that write a text into the host's buffer.
VstIntPtr SynthPlugin::DispatchText(VstInt32 opcode, VstInt32 index, void* ptr) {
    if (ptr == nullptr) {
        return 0;
    }
    using namespace plugintext;
    switch (opcode) {
    case effGetProgramName:
        CopyText(ptr, programs.CurrentName(), kProgramNameLength);
        return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= kProgramCount) {
            return 0;
        }
        CopyText(ptr, programs.Name(index), kProgramNameLength);
        return 1;
    case effGetParamLabel:
        CopyText(ptr, ParameterLabel(index), kParamTextLength);
        return 0;
    case effGetParamDisplay: {
        char text[kParamTextLength + 1];
        FormatParameter(index, programs.Value(index), text, sizeof text);
        CopyText(ptr, text, kParamTextLength);
        return 0;
    }
    case effGetParamName:
        CopyText(ptr, ParameterName(index), kParamTextLength);
        return 0;
    case effGetEffectName:
        CopyText(ptr, kEffectName, kEffectNameLength);
        return 1;
    case effGetVendorString:
        CopyText(ptr, kVendor, kVendorTextLength);
        return 1;
    case effGetProductString:
        CopyText(ptr, kProduct, kVendorTextLength);
        return 1;
    default:
        return 0;
    }
}

void SynthPlugin::Process(AEffect* effect, float** /*inputs*/, float** outputs, VstInt32 frames) {
    From(effect)->Render(outputs, frames, true);
}

void SynthPlugin::ProcessReplacing(AEffect* effect, float** /*inputs*/, float** outputs,
                                   VstInt32 frames) {
    From(effect)->Render(outputs, frames, false);
}

void SynthPlugin::Render(float** outputs, VstInt32 frames, bool accumulate) {
    if (outputs == nullptr || outputs[0] == nullptr || outputs[1] == nullptr || frames <= 0) {
        return;
    }
    renderer.Render(outputs[0], outputs[1], frames, accumulate);
}

void SynthPlugin::SetParameter(AEffect* effect, VstInt32 index, float value) {
    From(effect)->programs.SetValue(index, value);
}

float SynthPlugin::GetParameter(AEffect* effect, VstInt32 index) {
    return From(effect)->programs.Value(index);
}

} // namespace vantreel::synth
