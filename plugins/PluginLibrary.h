#pragma once
// Opening plug-in libraries and asking their entry point for an instance. Libraries
// stay loaded until the program ends: a closed instance may still have threads or
// callbacks inside its code.

#include "plugins/VstAbi.h"

#include <string>

namespace vantreel {

struct PluginInstanceResult {
    AEffect* effect = nullptr; // null on failure
    std::string reason;        // why it failed, for the user
};

// User-interface thread.
PluginInstanceResult CreatePluginInstance(const std::string& path, audioMasterCallback host);

} // namespace vantreel
