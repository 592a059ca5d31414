#pragma once
// How a slot names an LV2 instrument: "lv2:" and the plug-in's URI, where a VST 2
// slot names its library file. The prefix cannot start a file name the browser
// lists, so the two never meet.
//
// Threads: any (pure functions).

#include <string>
#include <string_view>

namespace vantreel {

constexpr std::string_view kLv2NamePrefix = "lv2:";

inline bool IsLv2Name(std::string_view name) {
    return name.substr(0, kLv2NamePrefix.size()) == kLv2NamePrefix;
}

inline std::string Lv2NameFor(std::string_view uri) {
    return std::string(kLv2NamePrefix) + std::string(uri);
}

// The URI inside a slot name; "" when the name is not an LV2 name.
inline std::string Lv2UriOf(std::string_view name) {
    return IsLv2Name(name) ? std::string(name.substr(kLv2NamePrefix.size())) : std::string();
}

} // namespace vantreel
