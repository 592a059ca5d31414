// The probe library's entry points and the functions tests use to read its logs.

#include "testplugins/common/PluginExport.h"
#include "testplugins/probe/ProbeLogStore.h"
#include "testplugins/probe/ProbePlugin.h"

#include <new>

namespace {

using vantreel::probe::ProbePlugin;

AEffect* CreateProbe(audioMasterCallback host) {
    if (host == nullptr) {
        return nullptr; // nothing to record answers from
    }
    vantreel::probe::ProbeLog* log = vantreel::probe::NewProbeLog();
    if (log == nullptr) {
        return nullptr;
    }
    auto* plugin = new (std::nothrow) ProbePlugin(host, log);
    if (plugin == nullptr) {
        delete log;
        return nullptr;
    }
    return plugin->Effect();
}

} // namespace

// The loader tests also need a valid plug-in that hosts can only find by its newer
// entry point name; it is this probe built without "main".
VANTREEL_PLUGIN_MAIN_ENTRY(CreateProbe)
#ifndef VANTREEL_PROBE_WITHOUT_LEGACY_MAIN
VANTREEL_PLUGIN_LEGACY_ENTRY(CreateProbe)
#endif

extern "C" {

vantreel::probe::ProbeLog* VantreelProbeLog(AEffect* effect) {
    ProbePlugin* plugin = ProbePlugin::From(effect);
    return plugin != nullptr ? plugin->Log() : nullptr;
}

void VantreelProbeClearLog(AEffect* effect) {
    if (ProbePlugin* plugin = ProbePlugin::From(effect)) {
        plugin->Log()->Clear();
    }
}

VstIntPtr VantreelProbeCallHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt) {
    ProbePlugin* plugin = ProbePlugin::From(effect);
    return plugin != nullptr ? plugin->CallHost(true, opcode, index, value, ptr, opt) : 0;
}

} // extern "C"
