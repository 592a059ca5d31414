#include "tools/render/PartialOutput.h"

#include "tools/render/RenderJob.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vantreel::render {

namespace {

constexpr const char* kTemporarySuffix = ".partial-XXXXXX";
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr char kExitMessage[] =
    "vantreel-render: a plug-in ended the program during the render; nothing was written\n";

// Read by the exit and signal handlers, which may only look at plain memory.
char activePath[PATH_MAX] = {};
std::atomic<bool> active{false};

void RemoveActive() {
    if (active.exchange(false)) {
        unlink(activePath);
    }
}

// Runs when anything calls exit() while a render is in progress: a plug-in, then.
void OnExit() {
    if (active.load()) {
        RemoveActive();
        [[maybe_unused]] const ssize_t ignored =
            write(STDERR_FILENO, kExitMessage, sizeof kExitMessage - 1);
        _exit(kExitFailed);
    }
}

void OnFatalSignal(int signal) {
    RemoveActive();
    std::signal(signal, SIG_DFL);
    raise(signal);
}

void InstallHandlers() {
    static const bool installed = [] {
        std::atexit(&OnExit);
        for (int signal : kFatalSignals) {
            struct sigaction action {};
            action.sa_handler = &OnFatalSignal;
            action.sa_flags = SA_RESETHAND;
            sigaction(signal, &action, nullptr);
        }
        return true;
    }();
    (void)installed;
}

} // namespace

PartialOutput::~PartialOutput() {
    Discard();
}

int PartialOutput::Create(const std::string& path, std::string& error) {
    Discard();
    std::string pattern = path + kTemporarySuffix;
    if (pattern.size() >= sizeof activePath) {
        error = "the file name is too long";
        return -1;
    }
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    // mkstemp makes the file private; a render gets the permissions any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    InstallHandlers();
    target = path;
    temporary = pattern;
    std::memcpy(activePath, pattern.c_str(), pattern.size() + 1);
    active.store(true);
    return fd;
}

bool PartialOutput::Complete(std::string& error) {
    if (temporary.empty()) {
        error = "nothing was rendered";
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = std::strerror(errno);
        Discard();
        return false;
    }
    active.store(false);
    temporary.clear();
    return true;
}

void PartialOutput::Discard() {
    if (!temporary.empty()) {
        active.store(false);
        unlink(temporary.c_str());
        temporary.clear();
    }
}

} // namespace vantreel::render
