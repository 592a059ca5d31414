// lv2-adapter-overhead: what a block costs through the LV2 adapter beyond a VST 2
// instance doing the same nothing. Both probes get the same four events a block and
// render 256 frames of a constant; the figure is the difference per block.

#include "BenchSummary.h"

#include "engine/AudioEngine.h"
#include "engine/SlotEventList.h"
#include "plugins/Lv2Name.h"
#include "plugins/PluginCalls.h"
#include "testplugins/lv2probe/Lv2ProbeLog.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace vantreel::bench {
namespace {

constexpr const char* kVstProbe = "VantreelProbe.so";
constexpr int kBlocksPerRound = 20000;
constexpr int kRounds = 5;
constexpr int kEventsPerBlock = 4;

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// The fastest of a few rounds, in microseconds per block: the least disturbed one.
double MicrosecondsPerBlock(AudioEngine& engine, int slot) {
    AEffect* e = engine.LivePlugin(slot);
    SlotEventList events;
    static float left[kBlockFrames];
    static float right[kBlockFrames];
    static float silent[2][kBlockFrames];
    float* outputs[2] = {left, right};
    float* inputs[2] = {silent[0], silent[1]};
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const double start = CpuSeconds();
        for (int block = 0; block < kBlocksPerRound; ++block) {
            events.numEvents = 0;
            for (int n = 0; n < kEventsPerBlock; ++n) {
                const uint8_t bytes[4] = {uint8_t(n % 2 ? 0x80 : 0x90), uint8_t(60 + n), 100, 0};
                events.Append(bytes, n * 64);
            }
            plugin::ProcessEvents(e, events.AsVstEvents());
            plugin::Render(e, inputs, outputs, kBlockFrames);
            benchmark::DoNotOptimize(outputs[0][0]);
        }
        best = std::min(best, (CpuSeconds() - start) * 1e6 / kBlocksPerRound);
    }
    return best;
}

void Lv2AdapterOverhead(benchmark::State& state) {
    setenv("VST_PATH", VANTREEL_PLUGIN_OUTPUT_DIR, 1);
    setenv("LV2_PATH", VANTREEL_LV2_OUTPUT_DIR, 1);
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    const std::string lv2 = Lv2NameFor(lv2probe::kProbeUri);
    if (!engine->LoadPlugin(0, kVstProbe) || !engine->LoadPlugin(1, lv2.c_str())) {
        state.SkipWithError(engine->LastPluginError().c_str());
        return;
    }
    double overhead = 0.0;
    for (auto _ : state) {
        const double vst = MicrosecondsPerBlock(*engine, 0);
        const double adapted = MicrosecondsPerBlock(*engine, 1);
        overhead = adapted - vst;
        state.counters["vst_us"] = vst;
        state.counters["lv2_us"] = adapted;
    }
    state.counters["overhead_us"] = overhead;
    RecordSummary("lv2-adapter-overhead", overhead, "us per block");
}

BENCHMARK(Lv2AdapterOverhead)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace vantreel::bench
