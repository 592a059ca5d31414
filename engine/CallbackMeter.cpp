#include "engine/CallbackMeter.h"

#include "engine/AudioConstants.h"

#include <algorithm>

namespace vantreel {

namespace {
constexpr double kPercent = 100.0;
}

void CallbackMeter::SetRate(int newRate) {
    rate.store(newRate, std::memory_order_relaxed);
    windowFrames.store(0, std::memory_order_relaxed);
    windowWorst.store(0.0, std::memory_order_relaxed);
}

void CallbackMeter::Measure(Clock::time_point start, int frames) {
    Note(std::chrono::duration<double>(Clock::now() - start).count(), frames);
}

void CallbackMeter::Note(double seconds, int frames) {
    const int framesPerSecond = rate.load(std::memory_order_relaxed);
    if (framesPerSecond <= 0 || frames <= 0) {
        return;
    }
    const double budget = double(frames) / framesPerSecond;
    const double worst =
        std::max(windowWorst.load(std::memory_order_relaxed), kPercent * seconds / budget);
    const int seen = windowFrames.load(std::memory_order_relaxed) + frames;
    if (seen >= kMeterWindowSeconds * framesPerSecond) {
        published.store(worst, std::memory_order_relaxed);
        windowWorst.store(0.0, std::memory_order_relaxed);
        windowFrames.store(0, std::memory_order_relaxed);
    } else {
        windowWorst.store(worst, std::memory_order_relaxed);
        windowFrames.store(seen, std::memory_order_relaxed);
    }
}

} // namespace vantreel
