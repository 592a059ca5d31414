#pragma once
// The CPU meter: the longest callback of the last window (kMeterWindowSeconds of
// audio) against its budget, the time its buffer lasts. A smoothed average would hide
// the one slow callback that makes the sound break up; the worst one shows it.

#include <atomic>
#include <chrono>

namespace vantreel {

class CallbackMeter {
public:
    using Clock = std::chrono::steady_clock;

    // While no callback runs: the rate the callbacks' frames play at.
    void SetRate(int rate);
    // Audio thread: a callback for `frames` frames began at `start` and ends now.
    void Measure(Clock::time_point start, int frames);
    // Audio thread: the same, for a callback that took `seconds`.
    void Note(double seconds, int frames);
    // Any thread: the worst callback of the last whole window, in percent.
    double Percent() const { return published.load(std::memory_order_relaxed); }

private:
    std::atomic<int> rate{0};
    // The window being measured; the audio thread's own.
    std::atomic<int> windowFrames{0};
    std::atomic<double> windowWorst{0.0};
    std::atomic<double> published{0.0};
};

} // namespace vantreel
