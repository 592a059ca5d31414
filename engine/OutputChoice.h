#pragma once
// Which output the user chose in the audio setup, and what an open output runs at.

#include "engine/AudioConstants.h"

#include <string>

namespace vantreel {

struct OutputChoice {
    // RtAudio's short name of the output system ("jack", "alsa", "pulse"); empty for
    // the first system that finds a device.
    std::string system;
    std::string device; // the device's name; empty for the system's default device
    int bufferFrames = kDefaultDeviceFrames;

    bool operator==(const OutputChoice&) const = default;
};

struct OutputFormat {
    std::string systemName; // the output system's short name, as in OutputChoice
    std::string system;     // its display name
    std::string device;
    int sampleRate = 0;   // the device's rate, which may differ from the song's
    int bufferFrames = 0; // frames per callback, as the device granted them
};

// A buffer size the setup offers; any other falls back to the default.
int UsableBufferFrames(int frames);

// Milliseconds one buffer of `frames` lasts at `rate`.
double BufferMilliseconds(int frames, int rate);

} // namespace vantreel
