#pragma once
// The LV2 instruments the browser offers: every plug-in on the LV2 path that takes
// MIDI, has an audio output and needs no feature this host lacks.
//
// Threads: user-interface thread.

#include <string>
#include <vector>

namespace vantreel {

struct Lv2Listing {
    std::string uri;
    std::string name;
};

// Sorted by name.
std::vector<Lv2Listing> ListLv2Instruments();

} // namespace vantreel
