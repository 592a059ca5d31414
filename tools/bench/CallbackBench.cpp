// The longest device callback with 16 synthesizer slots playing a busy song, at a
// 256-frame device buffer (one block per callback, a budget of 5805 us at 44100 Hz)
// and at the default 2048 frames (eight blocks, 46 ms). Measured in the thread's CPU
// time, so other work on the machine does not count against the engine.

#include "BenchSummary.h"
#include "SynthChordSong.h"
#include "engine/AudioEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

namespace vantreel::bench {
namespace {

constexpr double kSecondsOfAudio = 10.0;

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return 1e6 * double(now.tv_sec) + 1e-3 * double(now.tv_nsec);
}

void WorstCallback(benchmark::State& state, int deviceFrames, const char* summary) {
    std::unique_ptr<AudioEngine> engine = SynthChordSong(1, 1);
    if (!engine) {
        state.SkipWithError("the synthesizer was not built");
        return;
    }
    engine->Feed().Prepare(kDefaultSampleRate, kDefaultSampleRate, deviceFrames);
    std::vector<int16_t> buffer(size_t(2 * deviceFrames));
    const int callbacks = int(kSecondsOfAudio * kDefaultSampleRate / deviceFrames);
    double worst = 0.0;
    for (auto _ : state) {
        for (int n = 0; n < callbacks; ++n) {
            const double start = ThreadCpuMicroseconds();
            engine->Feed().Fill(buffer.data(), deviceFrames, false);
            worst = std::max(worst, ThreadCpuMicroseconds() - start);
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.counters["worst_us"] = worst;
    RecordSummary(summary, worst, "us");
}

void CallbackWorst256(benchmark::State& state) {
    WorstCallback(state, 256, "callback-worst-256");
}

void CallbackWorst2048(benchmark::State& state) {
    WorstCallback(state, 2048, "callback-worst-2048");
}

BENCHMARK(CallbackWorst256)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(CallbackWorst2048)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace vantreel::bench
