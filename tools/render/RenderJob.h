#pragma once
// Renders a project to an audio file: the project is loaded into an engine that has
// no output stream, play starts, and the stream callback's own samples are written,
// cut to exactly lines x lineLength (+ tail) frames.

#include "engine/AudioEngine.h"
#include "tools/render/RenderOptions.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace vantreel::render {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // the project or the output
constexpr int kExitUsage = 2;

class RenderJob {
public:
    // `engine` must be freshly built with OutputMode::CallerDriven; it stays the caller's, so
    // tests can look at its plug-ins afterwards.
    RenderJob(AudioEngine& engine, const RenderOptions& options)
        : engine(engine), options(options) {}

    // Loads, renders and writes; returns the exit status and prints reasons on stderr.
    int Run();

    // Frames to render once the project is loaded.
    int64_t FrameCount() const;

private:
    bool UsePluginDir();
    bool LoadProject();
    void StartPlay();
    int WriteAudio(int64_t frames);
    void ShowProgress(int64_t done, int64_t total);
    int Fail(const std::string& reason, int status = kExitFailed);

    AudioEngine& engine;
    RenderOptions options;
    bool progressVisible = false;
    int shownPercent = -1;
};

} // namespace vantreel::render
