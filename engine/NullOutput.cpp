// An output without a device: a thread that pulls buffers at real-time pace, so that
// playback, meters and the CPU figure behave as they do with a sound card.

#include "engine/AudioConstants.h"
#include "engine/CpuMeter.h"
#include "engine/OutputStream.h"
#include "song/SongSettings.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vantreel {

namespace {

class NullOutput final : public OutputStream {
public:
    ~NullOutput() override { Stop(); }

    bool Start(int sampleRate, Callback callback, void* user) override {
        Stop();
        const int rate = sampleRate > 0 ? sampleRate : kDefaultSampleRate;
        meter.SetBufferDuration(double(kCallbackFrames) / rate);
        running = true;
        worker = std::thread([this, rate, callback, user] { Run(rate, callback, user); });
        return true;
    }

    void Stop() override {
        running = false;
        if (worker.joinable()) {
            worker.join();
        }
    }

    double CpuUsage() const override { return meter.Percent(); }
    const char* Name() const override { return "null output (no sound device)"; }

private:
    void Run(int rate, Callback callback, void* user) {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(double(kCallbackFrames) / rate));
        auto next = std::chrono::steady_clock::now();
        while (running) {
            const auto start = CpuMeter::Clock::now();
            callback(user, buffer.data());
            meter.Measure(start);
            next += period;
            std::this_thread::sleep_until(next);
        }
    }

    std::atomic<bool> running{false};
    std::thread worker;
    CpuMeter meter;
};

} // namespace

std::unique_ptr<OutputStream> CreateNullOutput() {
    return std::make_unique<NullOutput>();
}

} // namespace vantreel
