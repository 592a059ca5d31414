#pragma once
// A private JACK server for one test: jackd with the dummy driver (no sound card, no
// real-time rights needed) under a name of its own, so that other test runs on the
// same machine keep theirs. While it lives, JACK clients of this process reach it
// (JACK_DEFAULT_SERVER names it) and never start a server of their own.

#include "support/ScopedEnvironment.h"

#include <jack/jack.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vantreel::test {

class JackServer {
public:
    // The dummy driver at `rate` (its own default when 0), `period` frames per cycle.
    explicit JackServer(int rate = 0, int period = kDefaultPeriod)
        : name(UniqueName()), server("JACK_DEFAULT_SERVER", name),
          noStart("JACK_NO_START_SERVER", std::string("1")), rate(rate), period(period) {
        if (!Start()) {
            Stop();
        }
    }
    ~JackServer() { Stop(); }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool Running() const { return pid > 0; }
    // Why the server is not running, for a test that skips.
    const std::string& Problem() const { return problem; }
    const std::string& Name() const { return name; }

private:
    static constexpr int kDefaultPeriod = 2048;
    static constexpr auto kStartTimeout = std::chrono::seconds(10);
    static constexpr auto kPoll = std::chrono::milliseconds(50);

    static std::string UniqueName() {
        std::random_device random;
        return "vantreel-test-" + std::to_string(getpid()) + "-" + std::to_string(random());
    }

    bool Start() {
        if (access("/usr/bin/jackd", X_OK) != 0) {
            problem = "jackd is not installed";
            return false;
        }
        // Long cycles and a generous client timeout: sanitizer builds run slowly.
        std::vector<std::string> args = {
            "jackd", "--no-realtime",       "-t", "5000", "-n", name, "-d", "dummy",
            "-p",    std::to_string(period)};
        if (rate > 0) {
            args.push_back("-r");
            args.push_back(std::to_string(rate));
        }
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned =
            posix_spawn(&pid, "/usr/bin/jackd", &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        if (spawned != 0) {
            pid = 0;
            problem = "jackd could not be started";
            return false;
        }
        return WaitUntilReady();
    }

    // Ready once a client can connect; a server that exits early is a failure.
    bool WaitUntilReady() {
        // Each refused attempt would print JACK's complaint; keep the log readable.
        jack_set_error_function([](const char*) {});
        const bool ready = PollUntilReady();
        jack_set_error_function([](const char* text) { std::fprintf(stderr, "%s\n", text); });
        return ready;
    }

    bool PollUntilReady() {
        const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = 0;
                problem = "jackd exited at start";
                return false;
            }
            jack_status_t why;
            if (jack_client_t* client = jack_client_open(
                    "vantreel-test-probe", JackOptions(JackNoStartServer | JackServerName), &why,
                    name.c_str())) {
                jack_client_close(client);
                return true;
            }
            std::this_thread::sleep_for(kPoll);
        }
        problem = "jackd did not accept clients in time";
        return false;
    }

    void Stop() {
        if (pid <= 0) {
            return;
        }
        kill(pid, SIGTERM);
        for (int n = 0; n < 100; ++n) {
            if (waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = 0;
                return;
            }
            std::this_thread::sleep_for(kPoll);
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        pid = 0;
    }

    std::string name;
    ScopedEnvironment server;
    ScopedEnvironment noStart;
    int rate;
    int period;
    pid_t pid = 0;
    std::string problem;
};

} // namespace vantreel::test
