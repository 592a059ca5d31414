// The longest device callback with 16 synthesizer slots playing a busy song, at a
// 256-frame device buffer (one block per callback, a budget of 5805 us at 44100 Hz)
// and at the default 2048 frames (eight blocks, 46 ms). Measured in the thread's CPU
// time, so other work on the machine does not count against the engine.

#include "BenchSummary.h"
#include "engine/AudioEngine.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace vantreel::bench {
namespace {

constexpr const char* kSynthName = "VantreelSynth.so";
constexpr double kSecondsOfAudio = 10.0;

double ThreadCpuMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return 1e6 * double(now.tv_sec) + 1e-3 * double(now.tv_nsec);
}

// Chords on all eight tracks of every slot, a new line every 2000 frames.
std::unique_ptr<AudioEngine> BusySynthSong() {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    std::strncpy(engine->pluginFolder, VANTREEL_PLUGIN_OUTPUT_DIR, kTextSize - 1);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!engine->LoadPlugin(slot, kSynthName)) {
            return nullptr;
        }
        Pattern& pattern = engine->song.slots[slot].patterns[0];
        for (int line = 0; line < 64; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                const uint8_t note = uint8_t(36 + (line * 5 + track * 7 + slot) % 48);
                pattern.SetCell(line, track, {0x90, note, 100, uint8_t(line % 2)});
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
    engine->PlaySong();
    return engine;
}

void WorstCallback(benchmark::State& state, int deviceFrames, const char* summary) {
    std::unique_ptr<AudioEngine> engine = BusySynthSong();
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
