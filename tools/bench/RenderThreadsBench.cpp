// Offline render speed of 16 slots of our synthesizer playing eight-note chords, on
// one thread and on every core, and what the second figure gains over the first.
// Wall-clock time: with several threads at work, the time the render takes is what
// counts. Run it on a quiet machine.

#include "BenchSummary.h"
#include "engine/AudioEngine.h"
#include "engine/OfflineRenderer.h"
#include "engine/RenderSettings.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

namespace vantreel::bench {
namespace {

constexpr const char* kSynthName = "VantreelSynth.so";
constexpr double kSecondsOfAudio = 20.0;

// Eight-note chords on the eight tracks of every slot, a new chord every 2000 frames.
std::unique_ptr<AudioEngine> ChordSong(int threads) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven, OutputChoice{}, threads);
    std::strncpy(engine->pluginFolder, VANTREEL_PLUGIN_OUTPUT_DIR, kTextSize - 1);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!engine->LoadPlugin(slot, kSynthName)) {
            return nullptr;
        }
        Pattern& pattern = engine->song.slots[slot].patterns[0];
        for (int line = 0; line < 64; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                const uint8_t note = uint8_t(36 + (line * 5 + track * 7 + slot) % 48);
                pattern.SetCell(line, track, {0x90, note, 100, 0});
            }
        }
        for (int line = 0; line < 1024; line += 64) {
            engine->song.arrangement.Set(line, slot, {0, 0});
        }
        engine->song.slots[slot].sendReverb = 20;
        engine->song.slots[slot].sendDelay = 20;
    }
    engine->song.settings.songEnd = 1024;
    engine->song.settings.lineLength = 2000;
    engine->effects.SetMetering(false); // as vantreel-render runs
    engine->PlaySong();
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
