// Cost of each master effect on one 256-frame block, and of the whole master chain,
// with settings that make every effect do its full work.

#include "BenchSummary.h"
#include "effects/Chorus.h"
#include "effects/Compressor.h"
#include "effects/Equalizer.h"
#include "effects/PeakMeter.h"
#include "effects/ReverbModel.h"
#include "effects/StereoDelay.h"
#include "engine/MasterEffects.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

namespace vantreel::bench {
namespace {

// A block of quiet noise to feed every iteration, so no effect settles into zeros.
struct Input {
    float left[kBlockFrames];
    float right[kBlockFrames];

    Input() {
        uint32_t state = 12345;
        for (int i = 0; i < kBlockFrames; ++i) {
            state = state * 1664525u + 1013904223u;
            left[i] = 0.2f * (float(state >> 8) / float(1 << 24) - 0.5f);
            right[i] = -left[i];
        }
    }
};

struct Buffers {
    float left[kBlockFrames];
    float right[kBlockFrames];

    void Load(const Input& in) {
        std::memcpy(left, in.left, sizeof left);
        std::memcpy(right, in.right, sizeof right);
    }
};

// CPU time of this thread: the figure is per core, whatever else the machine runs.
double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Runs `process` on a fresh copy of the input per iteration and records the mean
// time per block in microseconds.
template <typename Process>
void PerBlock(benchmark::State& state, const std::string& summary, Process process) {
    const Input input;
    Buffers buffers;
    const double start = ThreadCpuSeconds();
    for (auto _ : state) {
        buffers.Load(input);
        process(buffers.left, buffers.right);
        benchmark::DoNotOptimize(buffers.left);
        benchmark::DoNotOptimize(buffers.right);
        benchmark::ClobberMemory();
    }
    const double seconds = ThreadCpuSeconds() - start;
    const double micros = state.iterations() > 0 ? 1e6 * seconds / double(state.iterations()) : 0;
    state.counters["us_per_block"] = micros;
    RecordSummary(summary, micros, "us per block");
}

void CopyOnly(benchmark::State& state) {
    PerBlock(state, "effect-copy", [](float*, float*) {});
}

void Delay(benchmark::State& state) {
    auto delay = std::make_unique<StereoDelay>();
    const DelaySettings settings{700, 450, 100, 80, true};
    PerBlock(state, "effect-delay",
             [&](float* l, float* r) { delay->Process(l, r, kBlockFrames, settings); });
}

void ChorusEffect(benchmark::State& state) {
    auto chorus = std::make_unique<Chorus>();
    const ChorusSettings settings{36, 40, 63, 40};
    PerBlock(state, "effect-chorus",
             [&](float* l, float* r) { chorus->Process(l, r, kBlockFrames, settings); });
}

void Reverb(benchmark::State& state) {
    auto reverb = std::make_unique<ReverbModel>();
    PerBlock(state, "effect-reverb", [&](float* l, float* r) {
        reverb->SetRoomSize(80 / 128.0f);
        reverb->SetDamp(64 / 128.0f);
        reverb->SetWidth(1.0f);
        reverb->SetMode(0.0f);
        reverb->Process(l, r, l, r, kBlockFrames);
    });
}

void EqualizerEffect(benchmark::State& state) {
    auto eq = std::make_unique<Equalizer>();
    const EqualizerSettings settings{4, -3, 2};
    PerBlock(state, "effect-equalizer", [&](float* l, float* r) {
        eq->Process(l, r, kBlockFrames, settings, kDefaultSampleRate);
    });
}

void CompressorEffect(benchmark::State& state) {
    auto compressor = std::make_unique<Compressor>();
    const CompressorSettings settings{20, 8, 16};
    PerBlock(state, "effect-compressor",
             [&](float* l, float* r) { compressor->Process(l, r, kBlockFrames, settings); });
}

void Meter(benchmark::State& state) {
    FallingPeak peakLeft, peakRight;
    // Both channels in one pass, as the engine measures them.
    PerBlock(state, "effect-meter", [&](float* l, float* r) {
        PeakMeter::MeasureStereo(peakLeft, peakRight, l, r, kBlockFrames);
        benchmark::DoNotOptimize(peakLeft);
        benchmark::DoNotOptimize(peakRight);
    });
}

// The whole chain as the engine runs it, sends included.
void WholeChain(benchmark::State& state) {
    auto fx = std::make_unique<MasterEffects>();
    auto settings = std::make_unique<SongSettings>();
    settings->equalizer.lowGain = 4;
    settings->equalizer.peakGain = -3;
    settings->equalizer.highGain = 2;
    settings->compressor.ratio = 8;
    const Input input;
    SendBuffers sendLeft, sendRight;
    PerBlock(state, "effect-master-chain", [&](float* l, float* r) {
        for (int k = 0; k < kSendCount; ++k) {
            std::memcpy(sendLeft[k], input.left, sizeof input.left);
            std::memcpy(sendRight[k], input.right, sizeof input.right);
        }
        fx->Process(*settings, true, sendLeft, sendRight, l, r);
    });
}

BENCHMARK(CopyOnly);
BENCHMARK(Delay);
BENCHMARK(ChorusEffect);
BENCHMARK(Reverb);
BENCHMARK(EqualizerEffect);
BENCHMARK(CompressorEffect);
BENCHMARK(Meter);
BENCHMARK(WholeChain);

} // namespace
} // namespace vantreel::bench
