// vantreel-render: exports a project to a WAV or FLAC file without a window or a
// sound card.

#include "tools/render/RenderJob.h"
#include "tools/render/RenderOptions.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

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
    auto engine = std::make_unique<vantreel::AudioEngine>(vantreel::OutputMode::CallerDriven);
    return RenderJob(*engine, parsed.options).Run();
}
