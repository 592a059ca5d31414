// slot-record-huge-program-count: saving and then loading a project whose one plug-in
// reports 2^31 - 1 programs and no parameters (our misbehaving test plug-in). Should
// stay far under 2 seconds; stepping through the programs took 4 to 11.

#include "BenchSummary.h"

#include "engine/AudioEngine.h"
#include "testplugins/bad/MisbehavingControl.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using vantreel::AudioEngine;

std::unique_ptr<AudioEngine> EngineWithBadPlugins() {
    auto engine = std::make_unique<AudioEngine>(vantreel::OutputMode::CallerDriven);
    std::strncpy(engine->pluginFolder, VANTREEL_BAD_PLUGIN_OUTPUT_DIR, vantreel::kTextSize - 1);
    return engine;
}

void SlotRecordHugeProgramCount(benchmark::State& state) {
    namespace mb = vantreel::misbehaving;
    const std::string library =
        std::string(VANTREEL_BAD_PLUGIN_OUTPUT_DIR) + "/" + mb::kLibraryName;
    const mb::Api api = mb::Api::Open(library.c_str());
    if (!api.Ok()) {
        state.SkipWithError("the misbehaving plug-in was not found");
        return;
    }
    mb::Config config;
    config.numPrograms = INT32_MAX;
    config.numParams = 0;
    api.configure(&config);
    auto source = EngineWithBadPlugins();
    if (!source->LoadPlugin(0, mb::kLibraryName)) {
        state.SkipWithError("the misbehaving plug-in did not load");
        return;
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / "vantreel-bench-programs.vpf").string();
    auto loaded = EngineWithBadPlugins();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!source->SaveProject(path.c_str()) || !loaded->LoadProject(path.c_str())) {
            state.SkipWithError("the project did not save and load");
            break;
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    std::filesystem::remove(path);
    if (state.iterations() > 0) {
        vantreel::bench::RecordSummary("slot-record-huge-program-count",
                                       1000.0 * seconds / double(state.iterations()), "ms");
    }
}

} // namespace

BENCHMARK(SlotRecordHugeProgramCount)->Unit(benchmark::kMillisecond)->Iterations(5);
