// undo-step: undoing, then redoing, a block paste of 8 tracks by 256 lines; the
// mean of one undo and one redo. Target under 1 ms.

#include "BenchSummary.h"

#include "editors/EditorController.h"
#include "engine/AudioEngine.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using namespace vantreel;

void UndoStep(benchmark::State& state) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    EditorController controller(*engine);
    EditorState& e = engine->editor;
    for (int line = 0; line < kPatternLines; ++line) {
        for (int track = 0; track < kTracks; ++track) {
            e.clipboardPattern.SetCell(line, track, {0x90, uint8_t(line % 128), 100, 0});
        }
    }
    e.clipOriginLine = 0;
    e.clipOriginTrack = 0;
    e.clipWidth = kTracks;
    e.clipHeight = kPatternLines;
    controller.Clipboard().BlockPaste();
    UndoHistory& history = controller.History();
    if (!history.CanUndo()) {
        state.SkipWithError("the paste recorded no step");
        return;
    }
    history.Undo();
    const bool undone =
        engine->CurrentPattern().Cell(kPatternLines - 1, kTracks - 1) == EventCell{};
    history.Redo();
    if (!undone || engine->CurrentPattern().Cell(kPatternLines - 1, kTracks - 1) == EventCell{}) {
        state.SkipWithError("the paste was not undone and redone whole");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        history.Undo();
        history.Redo();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (state.iterations() > 0) {
        bench::RecordSummary("undo-step", 1e6 * seconds / double(2 * state.iterations()), "us");
    }
}

} // namespace

BENCHMARK(UndoStep)->Unit(benchmark::kMicrosecond)->Iterations(200);
