#pragma once
// Measures the share of real time a callback takes: its duration over the duration
// of the audio it produced, smoothed. Written by the audio thread, read by any thread.

#include <atomic>
#include <chrono>

namespace vantreel {

class CpuMeter {
public:
    using Clock = std::chrono::steady_clock;

    void SetBufferDuration(double seconds) { bufferSeconds = seconds; }
    // Audio thread: one callback took from `start` until now.
    void Measure(Clock::time_point start) {
        const double spent = std::chrono::duration<double>(Clock::now() - start).count();
        const double percent = bufferSeconds > 0 ? 100.0 * spent / bufferSeconds : 0.0;
        const double previous = smoothed.load(std::memory_order_relaxed);
        smoothed.store(previous + (percent - previous) * kSmoothing, std::memory_order_relaxed);
    }
    double Percent() const { return smoothed.load(std::memory_order_relaxed); }

private:
    static constexpr double kSmoothing = 0.2;
    double bufferSeconds = 0.0;
    std::atomic<double> smoothed{0.0};
};

} // namespace vantreel
