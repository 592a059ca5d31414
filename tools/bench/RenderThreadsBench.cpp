// Offline render speed of 16 slots of our synthesizer playing eight-note chords, on
// one thread and on every core, and what the second figure gains over the first.
// Wall-clock time: with several threads at work, the time the render takes is what
// counts. Run it on a quiet machine.

#include "BenchSummary.h"
#include "SynthChordSong.h"
#include "engine/AudioEngine.h"
#include "engine/OfflineRenderer.h"
#include "engine/RenderSettings.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace vantreel::bench {
namespace {

constexpr double kSecondsOfAudio = 20.0;

// Eight-note chords on every slot, metered as vantreel-render runs: not at all.
std::unique_ptr<AudioEngine> ChordSong(int threads) {
    std::unique_ptr<AudioEngine> engine = SynthChordSong(threads, 0);
    if (engine) {
        engine->effects.SetMetering(false);
    }
    return engine;
}

double renderedOnOne = 0.0;
double renderedOnAll = 0.0;

void RecordSpeedup() {
    if (renderedOnOne > 0.0 && renderedOnAll > 0.0) {
        RecordSummary("render-16-synths-speedup", renderedOnAll / renderedOnOne, "x");
    }
}

void RenderSynths(benchmark::State& state, int threads, const char* summary, double& figure) {
    std::unique_ptr<AudioEngine> engine = ChordSong(threads);
    if (!engine) {
        state.SkipWithError("the synthesizer was not built");
        return;
    }
    OfflineRenderer renderer(*engine);
    const int64_t frames = int64_t(kSecondsOfAudio * kDefaultSampleRate);
    std::vector<int16_t> out(size_t(2 * frames));
    double seconds = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        renderer.Render(out.data(), frames);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(out.data());
    }
    const double audio = kSecondsOfAudio * double(state.iterations());
    figure = seconds > 0 ? audio / seconds : 0.0;
    state.counters["x_real_time"] = figure;
    state.counters["threads"] = engine->RenderThreads();
    RecordSummary(summary, figure, "x real time");
    RecordSpeedup();
}

void Render16SynthsOneThread(benchmark::State& state) {
    RenderSynths(state, 1, "render-16-synths-1-thread", renderedOnOne);
}

void Render16SynthsAllThreads(benchmark::State& state) {
    RenderSynths(state, AllCoresRenderThreads(), "render-16-synths-all-threads", renderedOnAll);
}

BENCHMARK(Render16SynthsOneThread)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Render16SynthsAllThreads)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace vantreel::bench
