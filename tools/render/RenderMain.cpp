// vantreel-render: exports a project to a WAV or FLAC file without a window or a
// sound card.

#include "engine/RenderSettings.h"
#include "tools/render/RenderJob.h"
#include "tools/render/RenderOptions.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// LV2 instruments built on Qt (synthv1, drumkv1) start a Qt application of their own
// when the host has none; without a display it must be one that needs none, or it
// aborts the render. A platform the user chose is left alone.
void LetToolkitsRunWithoutADisplay() {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace vantreel::render;
    const ParsedCommandLine parsed =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (parsed.outcome) {
    case ParseOutcome::Help:
        std::fputs(kUsage, stdout);
        return kExitOk;
    case ParseOutcome::UsageError:
        std::fprintf(stderr, "vantreel-render: %s\n%s", parsed.error.c_str(), kUsage);
        return kExitUsage;
    case ParseOutcome::Render:
        break;
    }
    LetToolkitsRunWithoutADisplay();
    const int threads = parsed.options.threads.value_or(vantreel::AllCoresRenderThreads());
    auto engine = std::make_unique<vantreel::AudioEngine>(vantreel::OutputMode::CallerDriven,
                                                          vantreel::OutputChoice{}, threads);
    return RenderJob(*engine, parsed.options).Run();
}
