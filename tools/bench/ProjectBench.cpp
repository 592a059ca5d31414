// project-save and project-load: a project with our synthesizer in every slot and
// every cell of every pattern filled, about 3.4 MB. The save includes its flush to
// the disk; the load includes starting the 16 plug-ins.

#include "BenchSummary.h"

#include "engine/AudioEngine.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using vantreel::AudioEngine;

constexpr const char* kSynth = "VantreelSynth.so";

// Our plug-ins are found through VST_PATH, whatever the length of the build folder.
std::unique_ptr<AudioEngine> NewEngine() {
    setenv("VST_PATH", VANTREEL_PLUGIN_OUTPUT_DIR, 1);
    return std::make_unique<AudioEngine>(vantreel::OutputMode::CallerDriven);
}

std::unique_ptr<AudioEngine> FullProject() {
    auto engine = NewEngine();
    for (int slot = 0; slot < vantreel::kSlotCount; ++slot) {
        if (!engine->LoadPlugin(slot, kSynth)) {
            return nullptr;
        }
        for (vantreel::Pattern& pattern : engine->song.slots[slot].patterns) {
            pattern.SetLength(vantreel::kPatternLines);
            for (int line = 0; line < vantreel::kPatternLines; ++line) {
                for (int track = 0; track < vantreel::kTracks; ++track) {
                    pattern.SetCell(
                        line, track,
                        {vantreel::kNoteOnStatus, uint8_t(36 + (line + track) % 48), 100, 1});
                }
            }
        }
    }
    for (int line = 0; line < vantreel::kArrangementLines; line += 16) {
        engine->song.arrangement.Set(line, line / 16 % vantreel::kSlotCount,
                                     {uint8_t(line % 26), 0});
    }
    return engine;
}

// On the disk, not in memory, so the flush costs what it costs for a user. Removed
// when the bench ends.
struct BenchFolder {
    BenchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantreel-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            path = pattern;
        }
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

std::string ProjectPath() {
    static BenchFolder folder;
    return folder.path + "/full.vpf";
}

void Record(const char* name, double seconds, benchmark::State& state) {
    if (state.iterations() > 0) {
        vantreel::bench::RecordSummary(name, 1000.0 * seconds / double(state.iterations()), "ms");
    }
}

void ProjectSave(benchmark::State& state) {
    auto engine = FullProject();
    if (!engine) {
        state.SkipWithError("the synthesizer plug-in was not found");
        return;
    }
    const std::string path = ProjectPath();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!engine->SaveProject(path.c_str())) {
            state.SkipWithError("the project could not be saved");
            return;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    Record("project-save", seconds, state);
}

void ProjectLoad(benchmark::State& state) {
    const std::string path = ProjectPath();
    {
        auto source = FullProject();
        if (!source || !source->SaveProject(path.c_str())) {
            state.SkipWithError("the project could not be made");
            return;
        }
    }
    auto engine = NewEngine();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!engine->LoadProject(path.c_str())) {
            state.SkipWithError("the project did not load whole");
            return;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    Record("project-load", seconds, state);
}

} // namespace

BENCHMARK(ProjectSave)->Unit(benchmark::kMillisecond);
BENCHMARK(ProjectLoad)->Unit(benchmark::kMillisecond);
