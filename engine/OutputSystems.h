#pragma once
// The output systems and devices the audio setup offers: those RtAudio was built
// with and finds (JACK, ALSA, PulseAudio), each with its output devices.
//
// Threads: user-interface thread.

#include <string>
#include <vector>

namespace vantreel {

struct OutputSystemInfo {
    std::string name;        // RtAudio's short name, as stored in the settings
    std::string displayName; // for the window
    std::vector<std::string> devices;
    std::string defaultDevice;
};

// Asks every system for its devices; a system that finds none is left out.
std::vector<OutputSystemInfo> ListOutputSystems();

} // namespace vantreel
