#pragma once
// The synthesizer as a VST 2 instance: the AEffect record the host holds and the
// dispatcher, parameter and process functions behind it.

#include "plugins/VstAbi.h"
#include "testplugins/synth/Programs.h"
#include "testplugins/synth/SynthRenderer.h"

namespace vantreel::synth {

class SynthPlugin {
public:
    // Asks the host for its sample rate as a starting value; the host may be null.
    explicit SynthPlugin(audioMasterCallback host);
    SynthPlugin(const SynthPlugin&) = delete;
    SynthPlugin& operator=(const SynthPlugin&) = delete;

    AEffect* Effect() { return &effect; }

private:
    static SynthPlugin* From(AEffect* effect) { return static_cast<SynthPlugin*>(effect->object); }
    static VstIntPtr Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);
    static void Process(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
    static void SetParameter(AEffect* effect, VstInt32 index, float value);
    static float GetParameter(AEffect* effect, VstInt32 index);

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr DispatchText(VstInt32 opcode, VstInt32 index, void* ptr);
    void Render(float** outputs, VstInt32 frames, bool accumulate);

    AEffect effect{};
    audioMasterCallback host;
    ProgramBank programs;
    SynthRenderer renderer{programs};
};

} // namespace vantreel::synth
