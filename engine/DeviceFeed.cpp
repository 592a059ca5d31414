#include "engine/DeviceFeed.h"

#include <algorithm>
#include <cstring>

namespace vantreel {

namespace {
constexpr int64_t kMicrosecondsPerSecond = 1000000;
} // namespace

std::chrono::microseconds RealtimeLockWait(int frames, int rate) {
    if (rate <= 0) {
        return std::chrono::microseconds(0);
    }
    return std::chrono::microseconds(int64_t(frames) * kMicrosecondsPerSecond /
                                     (int64_t(rate) * kLockWaitDivisor));
}

DeviceFeed::DeviceFeed(BlockSource& blocks) : source(blocks) {}

bool DeviceFeed::Prepare(int songRate, int deviceRate, int bufferFrames) {
    problem.clear();
    keptFrames = 0;
    converter.reset();
    if (deviceRate != songRate) {
        converter = std::make_unique<RateConverter>(source, songRate, deviceRate);
        if (!converter->Ok()) {
            problem = converter->Problem();
            converter.reset();
        }
    }
    lockWaitMicroseconds.store(RealtimeLockWait(bufferFrames, deviceRate).count(),
                               std::memory_order_relaxed);
    meter.SetRate(deviceRate);
    return problem.empty();
}

std::chrono::microseconds DeviceFeed::LockWait() const {
    return std::chrono::microseconds(lockWaitMicroseconds.load(std::memory_order_relaxed));
}

void DeviceFeed::Fill(int16_t* out, int frames, bool underflow) {
    const auto start = CallbackMeter::Clock::now();
    if (underflow) {
        dropouts.fetch_add(1, std::memory_order_relaxed);
    }
    if (!source.TryLockFor(LockWait())) {
        // Silence goes straight to the device: neither the kept block nor the
        // converter may hold it, or it would be played again later as a gap.
        std::memset(out, 0, sizeof(int16_t) * kOutputChannels * size_t(frames));
    } else {
        if (converter) {
            converter->Read(out, frames);
        } else {
            Copy(out, frames);
        }
        source.Unlock();
    }
    meter.Measure(start, frames);
}

void DeviceFeed::Copy(int16_t* out, int frames) {
    while (frames > 0) {
        if (keptFrames > 0) {
            const int take = std::min(frames, keptFrames);
            std::memcpy(out, kept + kOutputChannels * (kBlockFrames - keptFrames),
                        sizeof(int16_t) * kOutputChannels * take);
            out += kOutputChannels * take;
            frames -= take;
            keptFrames -= take;
        } else if (frames >= kBlockFrames) {
            source.RenderOutputBlock(out); // whole blocks go straight to the device
            out += kOutputChannels * kBlockFrames;
            frames -= kBlockFrames;
        } else {
            source.RenderOutputBlock(kept);
            keptFrames = kBlockFrames;
        }
    }
}

} // namespace vantreel
