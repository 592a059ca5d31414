#pragma once
// Serves the device's callbacks from the engine's 256-frame blocks: each callback
// renders exactly what the device asks for, in whole blocks, so a 256-frame device
// buffer costs one block per callback. A device size that is not a multiple of 256
// is served from one block kept over; a device at another rate than the song's gets
// the blocks through the rate converter. It waits for the engine lock at most a
// quarter of a buffer; a callback that cannot get it plays silence and renders
// nothing, so the song resumes where it stood. It also measures the callbacks for
// the CPU meter and counts the device's dropouts.

#include "engine/AudioConstants.h"
#include "engine/BlockSource.h"
#include "engine/CallbackMeter.h"
#include "engine/RateConverter.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace vantreel {

class DeviceFeed {
public:
    explicit DeviceFeed(BlockSource& source);

    // While no callback runs, or under the engine lock: the song's rate and what the
    // device runs at. Makes the rate converter when the rates differ. False, with
    // Problem(), when the rates cannot be converted.
    bool Prepare(int songRate, int deviceRate, int bufferFrames);
    const std::string& Problem() const { return problem; }

    // Audio thread: `frames` interleaved stereo frames at the device's rate.
    // `underflow` says the device ran dry since the previous call.
    void Fill(int16_t* out, int frames, bool underflow);

    // Any thread.
    double CpuPercent() const { return meter.Percent(); }
    uint32_t Dropouts() const { return dropouts.load(std::memory_order_relaxed); }
    std::chrono::microseconds LockWait() const;
    // User-interface thread.
    bool Converting() const { return converter != nullptr; }

private:
    void Copy(int16_t* out, int frames);

    BlockSource& source;
    std::unique_ptr<RateConverter> converter;
    std::string problem;
    // The block kept over: its last `keptFrames` frames are still to be played.
    int16_t kept[2 * kBlockFrames] = {};
    int keptFrames = 0;
    std::atomic<int64_t> lockWaitMicroseconds{0};
    std::atomic<uint32_t> dropouts{0};
    CallbackMeter meter;
};

// The longest the real-time callback waits for the engine lock: a quarter of the
// time `frames` frames last at `rate`.
std::chrono::microseconds RealtimeLockWait(int frames, int rate);

} // namespace vantreel
