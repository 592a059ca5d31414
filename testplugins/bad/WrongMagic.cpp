// A plug-in whose instance record does not carry the VST magic. A host must drop it
// without calling anything in it, so every function it holds counts its calls.

#include "testplugins/common/PluginExport.h"

#include <atomic>

namespace {

std::atomic<int> callsMade{0};

VstIntPtr CountDispatch(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    ++callsMade;
    return 0;
}
void CountProcess(AEffect*, float**, float**, VstInt32) {
    ++callsMade;
}
void CountSetParameter(AEffect*, VstInt32, float) {
    ++callsMade;
}
float CountGetParameter(AEffect*, VstInt32) {
    ++callsMade;
    return 0.0f;
}

AEffect* CreateWrongMagic(audioMasterCallback /*host*/) {
    static AEffect effect = [] {
        AEffect e{};
        e.magic = vantreel::plugintext::FourCharCode("NoPe");
        e.dispatcher = &CountDispatch;
        e.process = &CountProcess;
        e.processReplacing = &CountProcess;
        e.setParameter = &CountSetParameter;
        e.getParameter = &CountGetParameter;
        e.numOutputs = 2;
        e.flags = effFlagsCanReplacing;
        return e;
    }();
    return &effect;
}

} // namespace

VANTREEL_PLUGIN_ENTRY_POINTS(CreateWrongMagic)

// How many times a host called into the rejected instance; it should stay 0.
VANTREEL_PLUGIN_EXPORT int VantreelWrongMagicCalls() {
    return callsMade.load();
}
