#pragma once
// The audio output: pulls buffers of kCallbackFrames interleaved signed 16-bit stereo
// frames from a callback at a sample rate, on a thread of its own.

#include <cstdint>
#include <memory>

namespace vantreel {

class OutputStream {
public:
    // Called on the output's thread; fills kCallbackFrames frames (left sample first).
    using Callback = void (*)(void* user, int16_t* buffer);

    virtual ~OutputStream() = default;
    // Starts calling back; false when the output cannot be opened.
    virtual bool Start(int sampleRate, Callback callback, void* user) = 0;
    // Returns only when no callback runs and none will run again.
    virtual void Stop() = 0;
    // Time spent in the callback over the buffer's duration, smoothed, in percent.
    // Any thread.
    virtual double CpuUsage() const = 0;
    virtual const char* Name() const = 0;
};

// The system's default output device; null when there is no device to open.
std::unique_ptr<OutputStream> CreateDeviceOutput();
// A thread that calls back at real-time pace without any device.
std::unique_ptr<OutputStream> CreateNullOutput();

} // namespace vantreel
