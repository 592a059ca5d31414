#pragma once
// The words the project writer and loader share in their messages.
//
// Threads: any.

#include <cstdio>
#include <string>

namespace vantreel {

constexpr const char* kProjectCaption = "Vantreel";

// "Slot 07": how the messages name a slot.
inline std::string SlotLabel(int slot) {
    char text[32]; // room for any int, so the format can never be cut
    std::snprintf(text, sizeof text, "Slot %02d", slot);
    return text;
}

inline std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace vantreel
