#pragma once
// Opening plug-in libraries and asking their entry point for an instance. Libraries
// stay loaded until the program ends: a closed instance may still have threads or
// callbacks inside its code, and loading the same file again asks the same entry
// point for a fresh instance.

#include "plugins/VstAbi.h"

#include <string>

namespace vantreel {

// Reasons a load fails, besides the dynamic loader's own text.
constexpr const char* kNoEntryPoint = "no entry point";
constexpr const char* kNotAVstPlugin = "not a VST 2 plug-in";

struct PluginInstanceResult {
    AEffect* effect = nullptr; // null on failure
    std::string reason;        // why it failed, for the user
};

// User-interface thread. Accepts the instance only with the VST 2 magic; a rejected
// instance is dropped without being called.
PluginInstanceResult CreatePluginInstance(const std::string& path, audioMasterCallback host);

} // namespace vantreel
