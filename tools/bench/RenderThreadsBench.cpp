// Offline render speed of 16 slots of our synthesizer playing eight-note chords, on
// one thread and on every core, and what the second figure gains over the first.
// Wall-clock time: with several threads at work, the time the render takes is what
// counts. The two renders take turns, a short stretch of the song each, so that a
// machine busy with something else for a while slows both alike; the gain is the
// median of the stretches' own gains. Run it on a quiet machine.

#include "BenchSummary.h"
#include "SynthChordSong.h"
#include "engine/AudioEngine.h"
#include "engine/OfflineRenderer.h"
#include "engine/RenderSettings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace vantreel::bench {
namespace {

constexpr double kSecondsOfAudio = 20.0;
constexpr int kStretches = 20; // turns each render takes

// Eight-note chords on every slot, metered as vantreel-render runs: not at all.
std::unique_ptr<AudioEngine> ChordSong(int threads) {
    std::unique_ptr<AudioEngine> engine = SynthChordSong(threads, 0);
    if (engine) {
        engine->effects.SetMetering(false);
    }
    return engine;
}

// One of the two renders: the song on some number of threads, and its time so far.
struct TimedRender {
    std::unique_ptr<AudioEngine> engine;
    std::unique_ptr<OfflineRenderer> renderer;
    double seconds = 0.0;

    explicit TimedRender(int threads) : engine(ChordSong(threads)) {
        if (engine) {
            renderer = std::make_unique<OfflineRenderer>(*engine);
        }
    }

    // The wall-clock seconds `frames` took.
    double Stretch(std::vector<int16_t>& out, int64_t frames) {
        const auto start = std::chrono::steady_clock::now();
        renderer->Render(out.data(), frames);
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(out.data());
        seconds += took;
        return took;
    }
};

void Render16Synths(benchmark::State& state) {
    TimedRender one(1);
    TimedRender all(AllCoresRenderThreads());
    if (!one.engine || !all.engine) {
        state.SkipWithError("the synthesizer was not built");
        return;
    }
    const int64_t frames = int64_t(kSecondsOfAudio * kDefaultSampleRate / kStretches);
    std::vector<int16_t> out(size_t(2 * frames));
    std::vector<double> gains;
    for (auto _ : state) {
        for (int n = 0; n < kStretches; ++n) {
            // The same stretch of the song on both, so that each pair did the same work.
            const double onOne = one.Stretch(out, frames);
            const double onAll = all.Stretch(out, frames);
            gains.push_back(onOne / onAll);
        }
    }
    const double audio = kSecondsOfAudio * double(state.iterations());
    const double renderedOnOne = audio / one.seconds;
    const double renderedOnAll = audio / all.seconds;
    std::nth_element(gains.begin(), gains.begin() + gains.size() / 2, gains.end());
    const double gain = gains[gains.size() / 2];
    state.counters["x_real_time_1_thread"] = renderedOnOne;
    state.counters["x_real_time_all_threads"] = renderedOnAll;
    state.counters["threads"] = all.engine->RenderThreads();
    RecordSummary("render-16-synths-1-thread", renderedOnOne, "x real time");
    RecordSummary("render-16-synths-all-threads", renderedOnAll, "x real time");
    RecordSummary("render-16-synths-speedup", gain, "x");
}

BENCHMARK(Render16Synths)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace vantreel::bench
