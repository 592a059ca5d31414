// The library's entry points: each call makes a fresh, independent instance.

#include "testplugins/common/PluginExport.h"
#include "testplugins/synth/SynthPlugin.h"

#include <new>

namespace {

AEffect* CreateSynth(audioMasterCallback host) {
    auto* plugin = new (std::nothrow) vantreel::synth::SynthPlugin(host);
    return plugin != nullptr ? plugin->Effect() : nullptr;
}

} // namespace

VANTREEL_PLUGIN_ENTRY_POINTS(CreateSynth)
