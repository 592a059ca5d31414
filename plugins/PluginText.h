#pragma once
// The plug-in's texts for the control panel. Plug-ins write past the nominal lengths
// of these calls (8 or 24 characters), so every call gets a zeroed buffer far larger
// than any of them, and only what the panel shows is kept.
//
// Threads: user-interface thread, on an instance of an instanced slot.

#include "plugins/VstAbi.h"

#include <cstddef>
#include <string>

namespace vantreel {

// The buffer handed to every effGet... text call.
constexpr std::size_t kPluginTextBufferSize = 1024;
// The most characters the control panel shows of one plug-in text.
constexpr std::size_t kShownPluginTextLength = 63;

// Asks `opcode` (one of the effGet... text calls) for its text; "" for a null instance.
std::string GetPluginText(AEffect* effect, VstInt32 opcode, VstInt32 index);

std::string GetProgramName(AEffect* effect);
std::string GetParamName(AEffect* effect, int parameter);
std::string GetParamLabel(AEffect* effect, int parameter);
std::string GetParamDisplay(AEffect* effect, int parameter);

} // namespace vantreel
