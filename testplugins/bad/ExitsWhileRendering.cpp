// A plug-in that ends the whole program, with a success status, a few blocks into
// processing, as some do on an internal error.

#include "testplugins/common/PluginExport.h"

#include <cstdlib>

namespace {

constexpr int kBlocksBeforeExit = 20;
int blocks = 0;

VstIntPtr Dispatch(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

void Process(AEffect*, float**, float** outputs, VstInt32 frames) {
    if (++blocks > kBlocksBeforeExit) {
        std::exit(EXIT_SUCCESS);
    }
    for (VstInt32 i = 0; i < frames; ++i) {
        outputs[0][i] = outputs[1][i] = 0.25f;
    }
}

void SetParameter(AEffect*, VstInt32, float) {}

float GetParameter(AEffect*, VstInt32) {
    return 0.0f;
}

AEffect* Create(audioMasterCallback) {
    static AEffect effect = [] {
        AEffect e{};
        e.magic = kEffectMagic;
        e.dispatcher = &Dispatch;
        e.process = &Process;
        e.processReplacing = &Process;
        e.setParameter = &SetParameter;
        e.getParameter = &GetParameter;
        e.numPrograms = 1;
        e.numOutputs = 2;
        e.flags = effFlagsCanReplacing;
        return e;
    }();
    return &effect;
}

} // namespace

VANTREEL_PLUGIN_ENTRY_POINTS(Create)
