// Stream callback throughput with 16 in-process plug-ins playing a busy song: mostly
// the engine's own work, since the fake plug-ins only copy a tabled ramp into their
// outputs. The ramps never clip, so the conversion and the effects see a varying
// signal.

#include "BenchSummary.h"
#include "engine/AudioEngine.h"
#include "testplugins/fake/FakePlugin.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace vantreel::bench {
namespace {

using test::FakePlugin;

struct BusySong {
    std::unique_ptr<AudioEngine> engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    std::array<std::unique_ptr<FakePlugin>, kSlotCount> plugins;

    explicit BusySong(bool allEffects) {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            plugins[slot] = std::make_unique<FakePlugin>();
            // 16 slots of at most 0.02 each stay well below full scale.
            plugins[slot]->outputLeft = 0.001f * float(slot);
            plugins[slot]->outputRight = -0.001f * float(slot);
            plugins[slot]->rampPerFrame = 0.004f / 4096.0f * float(1 + slot % 4);
            plugins[slot]->TableTheRamp();
            engine->effect[slot] = &plugins[slot]->effect;
            std::strcpy(engine->song.slots[slot].dllName, "fake.so");
            engine->song.slots[slot].instanced = 1;
            FillPattern(engine->song.slots[slot].patterns[0]);
            for (int line = 0; line < 1024; line += 64) {
                engine->song.arrangement.Set(line, slot, {0, 0});
            }
            if (allEffects) {
                engine->song.slots[slot].sendDelay = 64;
                engine->song.slots[slot].sendReverb = 64;
                engine->song.slots[slot].sendChorus = 64;
            }
        }
        if (allEffects) {
            engine->song.settings.equalizer.lowGain = 4;
            engine->song.settings.equalizer.peakGain = -3;
            engine->song.settings.equalizer.highGain = 2;
            engine->song.settings.compressor.ratio = 8;
        }
        engine->song.settings.songEnd = 1024;
        engine->song.settings.lineLength = 2000; // a fast song: many line starts
        engine->PlaySong();
    }

    ~BusySong() {
        for (auto& slot : engine->song.slots) {
            slot.instanced = 0;
        }
    }

    static void FillPattern(Pattern& pattern) {
        for (int line = 0; line < 64; ++line) {
            for (int t = 0; t < kTracks; ++t) {
                pattern.SetCell(
                    line, t,
                    {uint8_t(kNoteOnStatus + t), uint8_t(36 + line % 48), 100, uint8_t(line % 2)});
            }
        }
    }
};

// CPU time of this thread: the figure is per core, whatever else the machine runs.
double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// CPU time per callback of the 16 fake plug-ins alone, called as the engine calls them
// (0 until measured): the rest of a callback is the host's.
double pluginSecondsPerCallback = 0.0;

void RunThroughput(benchmark::State& state, bool allEffects, const char* summary) {
    BusySong song(allEffects);
    std::vector<int16_t> buffer(2 * kCallbackFrames);
    int64_t callbacks = 0;
    const double start = ThreadCpuSeconds();
    for (auto _ : state) {
        song.engine->StreamCallback(buffer.data(), false);
        benchmark::DoNotOptimize(buffer.data());
        ++callbacks;
    }
    const double seconds = ThreadCpuSeconds() - start;
    const double audioSeconds = double(callbacks) * kCallbackFrames / kDefaultSampleRate;
    const double realTime = seconds > 0 ? audioSeconds / seconds : 0.0;
    state.counters["x_real_time"] = realTime;
    RecordSummary(summary, realTime, "x real time");
    const double hostSeconds = seconds - double(callbacks) * pluginSecondsPerCallback;
    if (!allEffects && pluginSecondsPerCallback > 0 && hostSeconds > 0) {
        RecordSummary("engine-no-effects-host-only", audioSeconds / hostSeconds, "x real time");
    }
}

void EnginePluginsAlone(benchmark::State& state) {
    BusySong song(false);
    std::vector<float> left(kBlockFrames);
    std::vector<float> right(kBlockFrames);
    float* outputs[2] = {left.data(), right.data()};
    int64_t callbacks = 0;
    const double start = ThreadCpuSeconds();
    for (auto _ : state) {
        for (int block = 0; block < kBlocksPerCallback; ++block) {
            for (auto& plugin : song.plugins) {
                plugin->effect.processReplacing(&plugin->effect, outputs, outputs, kBlockFrames);
            }
        }
        benchmark::DoNotOptimize(left.data());
        ++callbacks;
    }
    pluginSecondsPerCallback = (ThreadCpuSeconds() - start) / double(callbacks);
    RecordSummary("engine-no-effects-plugins", 1e6 * pluginSecondsPerCallback, "us per callback");
}

void EngineNoEffects(benchmark::State& state) {
    RunThroughput(state, false, "engine-no-effects");
}

void EngineAllEffects(benchmark::State& state) {
    RunThroughput(state, true, "engine-all-effects");
}

BENCHMARK(EnginePluginsAlone)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(EngineNoEffects)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(EngineAllEffects)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace
} // namespace vantreel::bench
