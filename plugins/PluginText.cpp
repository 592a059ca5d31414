#include "plugins/PluginText.h"

#include "plugins/PluginCalls.h"

#include <algorithm>
#include <cstring>

namespace vantreel {

std::string GetPluginText(AEffect* effect, VstInt32 opcode, VstInt32 index) {
    if (effect == nullptr) {
        return {};
    }
    // One spare byte past what the plug-in is offered keeps the text terminated even
    // when it fills the whole buffer.
    char buffer[kPluginTextBufferSize + 1] = {};
    plugin::GetText(effect, opcode, index, buffer);
    const std::size_t length = strnlen(buffer, kPluginTextBufferSize);
    return std::string(buffer, std::min(length, kShownPluginTextLength));
}

std::string GetProgramName(AEffect* effect) {
    return GetPluginText(effect, effGetProgramName, 0);
}

std::string GetParamName(AEffect* effect, int parameter) {
    return GetPluginText(effect, effGetParamName, parameter);
}

std::string GetParamLabel(AEffect* effect, int parameter) {
    return GetPluginText(effect, effGetParamLabel, parameter);
}

std::string GetParamDisplay(AEffect* effect, int parameter) {
    return GetPluginText(effect, effGetParamDisplay, parameter);
}

} // namespace vantreel
