#pragma once
// What every plug-in library of ours needs at its edge: symbol export, the two
// entry point names hosts look for, and bounded copies into host text buffers.

#include "plugins/VstAbi.h"

#include <cstddef>
#include <cstring>

#define VANTREEL_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

// The entry point current hosts look up.
#define VANTREEL_PLUGIN_MAIN_ENTRY(factory)                                                        \
    VANTREEL_PLUGIN_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {                      \
        return factory(host);                                                                      \
    }

// The older entry point "main". It cannot be a C++ function of that name without the
// compiler taking it for the program's main, so it is the assembler name of another.
#define VANTREEL_PLUGIN_LEGACY_ENTRY(factory)                                                      \
    VANTREEL_PLUGIN_EXPORT AEffect* VantreelLegacyMain(audioMasterCallback host) asm("main");      \
    VANTREEL_PLUGIN_EXPORT AEffect* VantreelLegacyMain(audioMasterCallback host) {                 \
        return factory(host);                                                                      \
    }

#define VANTREEL_PLUGIN_ENTRY_POINTS(factory)                                                      \
    VANTREEL_PLUGIN_MAIN_ENTRY(factory)                                                            \
    VANTREEL_PLUGIN_LEGACY_ENTRY(factory)

namespace vantreel::plugintext {

// Buffer capacities hosts allocate for the dispatcher's text opcodes, terminator excluded.
constexpr std::size_t kParamTextLength = 8;
constexpr std::size_t kProgramNameLength = 24;
constexpr std::size_t kEffectNameLength = 32;
constexpr std::size_t kVendorTextLength = 64;

// Copies at most `length` characters and always terminates, like the hosts expect.
inline void CopyText(void* destination, const char* source, std::size_t length) {
    if (destination == nullptr) {
        return;
    }
    char* out = static_cast<char*>(destination);
    std::size_t n = 0;
    for (; n < length && source[n] != '\0'; ++n) {
        out[n] = source[n];
    }
    out[n] = '\0';
}

// Four characters as the 32-bit code VST uses for ids, first one most significant.
constexpr VstInt32 FourCharCode(const char (&code)[5]) {
    return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
                                 static_cast<uint32_t>(static_cast<uint8_t>(code[3])));
}

// Answers effCanDo: 1 when the host's capability text is one of `capabilities`.
template <std::size_t N> VstIntPtr CanDo(const void* text, const char* const (&capabilities)[N]) {
    if (text == nullptr) {
        return 0;
    }
    for (const char* capability : capabilities) {
        if (std::strcmp(static_cast<const char*>(text), capability) == 0) {
            return 1;
        }
    }
    return 0;
}

} // namespace vantreel::plugintext
