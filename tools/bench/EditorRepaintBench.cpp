// editor-repaint: one full paint of the editor view at 1280 x 800 while a pattern
// plays, offscreen into an image. The 50 ms refresh timer repaints this often, so it
// must stay far below that.

#include "BenchSummary.h"

#include "engine/AudioEngine.h"
#include "shell/EditorView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using vantreel::AudioEngine;

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

// Lives until the process ends: a QApplication torn down after main() can crash.
void EnsureOffscreenApplication() {
    if (QApplication::instance()) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vantreel-bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Every cell holds a note, so every box of the pattern carries its full text.
void FillCurrentPattern(AudioEngine& engine) {
    vantreel::Pattern& pattern = engine.CurrentPattern();
    for (int line = 0; line < vantreel::kPatternLines; ++line) {
        for (int track = 0; track < vantreel::kTracks; ++track) {
            const auto note = uint8_t(36 + (line + track) % 48);
            pattern.SetCell(line, track, {vantreel::kNoteOnStatus, note, 0x64, 0x00});
        }
    }
    pattern.SetLength(vantreel::kPatternLines);
}

void EditorRepaint(benchmark::State& state) {
    EnsureOffscreenApplication();
    auto engine = std::make_unique<AudioEngine>(vantreel::OutputMode::CallerDriven);
    FillCurrentPattern(*engine);
    engine->PlayPattern();
    vantreel::EditorView view(*engine);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);

    double seconds = 0;
    int line = 0;
    for (auto _ : state) {
        engine->patternLine = line;
        engine->editor.cursorLine = line; // the slave cursor follows the play line
        line = (line + 1) % vantreel::kPatternLines;
        const auto start = std::chrono::steady_clock::now();
        QPainter painter(&image);
        view.PaintContents(painter, image.size());
        painter.end();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    benchmark::DoNotOptimize(image.constBits());
    if (state.iterations() > 0) {
        vantreel::bench::RecordSummary("editor-repaint",
                                       1000.0 * seconds / double(state.iterations()), "ms");
    }
}

} // namespace

BENCHMARK(EditorRepaint)->Unit(benchmark::kMillisecond);
