#include "tools/render/RenderJob.h"

#include "engine/OfflineRenderer.h"
#include "plugins/PluginSearchPath.h"
#include "song/FileReader.h"
#include "tools/render/PartialOutput.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace vantreel::render {

namespace {

constexpr int64_t kFramesPerWrite = 4 * kCallbackFrames;
constexpr int kProgressBarWidth = 40;
constexpr int kChannels = 2;

bool StoreFolder(AudioEngine& engine, const std::string& folder) {
    if (folder.size() >= std::size_t(kTextSize)) {
        return false;
    }
    std::memset(engine.pluginFolder, 0, kTextSize);
    std::memcpy(engine.pluginFolder, folder.data(), folder.size());
    return true;
}

} // namespace

int RenderJob::Fail(const std::string& reason, int status) {
    if (progressVisible) {
        std::fputc('\n', stderr);
        progressVisible = false;
    }
    std::fprintf(stderr, "vantreel-render: %s\n", reason.c_str());
    return status;
}

int RenderJob::Run() {
    progressVisible = false;
    if (!UsePluginDir()) {
        return Fail("--plugin-dir " + options.pluginDir +
                        ": the folder's name is too long (63 characters at most, or a shorter "
                        "relative path)",
                    kExitUsage);
    }
    // The loader says nothing when the file cannot be opened; say why here.
    FileReader project;
    errno = 0;
    if (!project.Open(options.project.c_str())) {
        return Fail("cannot open " + options.project + ": " +
                    (errno ? std::strerror(errno) : "not a regular file"));
    }
    if (!LoadProject()) {
        return Fail(options.project +
                    " could not be loaded whole (see above); nothing was rendered");
    }
    StartPlay();
    engine.effects.SetMetering(false); // nobody reads the meter of an export
    const int status = WriteAudio(FrameCount());
    engine.reporter.ShowPending();
    return status;
}

bool RenderJob::UsePluginDir() {
    if (options.pluginDir.empty()) {
        // Nothing before the search path: its first folder takes the first place.
        const std::vector<std::string> path = PluginSearchPath();
        StoreFolder(engine, path.empty() ? std::string() : path.front());
        return true;
    }
    if (StoreFolder(engine, options.pluginDir)) {
        return true;
    }
    std::error_code ignored;
    const std::string relative = std::filesystem::relative(options.pluginDir, ignored).string();
    return !relative.empty() && StoreFolder(engine, relative);
}

bool RenderJob::LoadProject() {
    return engine.LoadProject(options.project.c_str());
}

void RenderJob::StartPlay() {
    if (options.patternMode) {
        engine.editor.currentSlot = options.slot;
        engine.editor.currentPattern = options.pattern;
        engine.PlayPattern();
    } else {
        engine.editor.seqCursorLine = options.start;
        engine.PlaySong();
    }
}

int64_t RenderJob::FrameCount() const {
    const SongSettings& settings = engine.song.settings;
    const int64_t rate = settings.sampleRate;
    const int64_t tail = std::llround(options.tail * double(rate));
    if (options.seconds) {
        return std::max<int64_t>(std::llround(*options.seconds * double(rate)), 1) + tail;
    }
    int64_t lines = 0;
    if (options.lines) {
        lines = *options.lines;
    } else if (options.patternMode) {
        lines = engine.song.slots[options.slot].patterns[options.pattern].PlayedLength();
    } else {
        lines = int64_t(settings.songEnd) - options.start;
    }
    lines = std::max<int64_t>(lines, 1);
    const int64_t lineLength = std::max<int32_t>(settings.lineLength, 1);
    return lines * lineLength + tail;
}

int RenderJob::WriteAudio(int64_t frames) {
    SF_INFO info{};
    info.samplerate = engine.song.settings.sampleRate;
    info.channels = kChannels;
    info.format =
        (options.format == OutputFormat::Flac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    PartialOutput partial;
    std::string error;
    const int fd = partial.Create(options.output, error);
    if (fd < 0) {
        return Fail("cannot write " + options.output + ": " + error);
    }
    SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        close(fd);
        return Fail("cannot write " + options.output + ": " + sf_strerror(nullptr));
    }
    progressVisible = !options.quiet && isatty(STDERR_FILENO);
    OfflineRenderer renderer(engine);
    std::vector<int16_t> buffer(std::size_t(kFramesPerWrite) * kChannels);
    for (int64_t done = 0; done < frames && error.empty();) {
        const int64_t take = std::min(kFramesPerWrite, frames - done);
        renderer.Render(buffer.data(), take);
        if (sf_writef_short(file, buffer.data(), take) != take) {
            error = sf_strerror(file);
        }
        done += take;
        ShowProgress(done, frames);
    }
    if (sf_close(file) != 0 && error.empty()) {
        error = "the file could not be completed";
    }
    // A cut-off file would pass for a render: only a whole one takes the output's name.
    if (!error.empty() || !partial.Complete(error)) {
        return Fail("cannot write " + options.output + ": " + error);
    }
    if (progressVisible) {
        std::fputc('\n', stderr);
    }
    return kExitOk;
}

void RenderJob::ShowProgress(int64_t done, int64_t total) {
    if (!progressVisible) {
        return;
    }
    const int percent = int(done * 100 / std::max<int64_t>(total, 1));
    if (percent == shownPercent) {
        return;
    }
    shownPercent = percent;
    const int filled = percent * kProgressBarWidth / 100;
    std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "########################################",
                 kProgressBarWidth - filled, "", percent);
    std::fflush(stderr);
}

} // namespace vantreel::render
