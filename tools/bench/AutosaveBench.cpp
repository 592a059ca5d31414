// autosave-ui-block: how long an autosave holds the user-interface thread, the image
// built under the lock and handed to the writer thread included, for our synthesizer
// in all 16 slots with every cell of every pattern filled. The disk is the writer's.

#include "BenchSummary.h"

#include "engine/AudioEngine.h"
#include "engine/Autosave.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using vantreel::AudioEngine;

std::unique_ptr<AudioEngine> FullSong() {
    setenv("VST_PATH", VANTREEL_PLUGIN_OUTPUT_DIR, 1);
    auto engine = std::make_unique<AudioEngine>(vantreel::OutputMode::CallerDriven);
    for (int slot = 0; slot < vantreel::kSlotCount; ++slot) {
        if (!engine->LoadPlugin(slot, "VantreelSynth.so")) {
            return nullptr;
        }
        for (vantreel::Pattern& pattern : engine->song.slots[slot].patterns) {
            pattern.SetLength(vantreel::kPatternLines);
            for (int line = 0; line < vantreel::kPatternLines; ++line) {
                for (int track = 0; track < vantreel::kTracks; ++track) {
                    pattern.SetCell(line, track,
                                    {vantreel::kNoteOnStatus, uint8_t(36 + line % 48), 100, 1});
                }
            }
        }
    }
    return engine;
}

void AutosaveUiBlock(benchmark::State& state) {
    auto engine = FullSong();
    if (!engine) {
        state.SkipWithError("the synthesizer plug-in was not found");
        return;
    }
    std::string folder =
        (std::filesystem::temp_directory_path() / "vantreel-autosave-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no scratch folder");
        return;
    }
    double seconds = 0;
    {
        vantreel::Autosave autosave(*engine, folder + "/recovery.vpf", std::chrono::seconds(1));
        auto now = vantreel::AutosaveClock::now();
        for (auto _ : state) {
            engine->modified.Mark();
            now += std::chrono::seconds(2); // always due
            const auto start = std::chrono::steady_clock::now();
            const bool handed = autosave.Tick(now);
            seconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (!handed) {
                state.SkipWithError("no image was handed over");
                break;
            }
            autosave.Writer().Finish(); // each round starts with an idle disk
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (state.iterations() > 0) {
        vantreel::bench::RecordSummary("autosave-ui-block",
                                       1000.0 * seconds / double(state.iterations()), "ms");
    }
}

} // namespace

BENCHMARK(AutosaveUiBlock)->Unit(benchmark::kMillisecond)->Iterations(20);
