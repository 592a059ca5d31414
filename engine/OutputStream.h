#pragma once
// The audio output: a device (or a stand-in) that pulls interleaved signed 16-bit
// stereo frames from a callback, as many per call as its buffer holds, on a thread of
// its own.

#include "engine/OutputChoice.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vantreel {

class OutputStream {
public:
    // The output's thread: fill `frames` frames (left sample first). `underflow` says
    // the device ran dry since the previous call.
    using Callback = void (*)(void* user, int16_t* buffer, int frames, bool underflow);

    virtual ~OutputStream() = default;
    // User-interface thread: opens the chosen output, at the song's rate when the
    // device offers it and at the device's own rate otherwise. False, with Problem()
    // saying why, when it cannot be opened.
    virtual bool Open(const OutputChoice& choice, int songRate) = 0;
    // User-interface thread, after Open: what the output runs at.
    virtual OutputFormat Format() const = 0;
    // User-interface thread: starts calling back; false with Problem() on failure.
    virtual bool Start(Callback callback, void* user) = 0;
    // User-interface thread: returns only when no callback runs and none will run
    // again; the output is closed.
    virtual void Stop() = 0;
    virtual const std::string& Problem() const = 0;
};

// A sound device through RtAudio.
std::unique_ptr<OutputStream> CreateDeviceOutput();
// A thread that calls back at real-time pace without any device.
std::unique_ptr<OutputStream> CreateNullOutput();

} // namespace vantreel
