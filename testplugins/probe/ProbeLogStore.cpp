#include "testplugins/probe/ProbeLogStore.h"

#include <array>
#include <mutex>
#include <new>

namespace vantreel::probe {

namespace {

constexpr int kRetainedClosedLogs = 32;

struct RetiredLogs {
    std::mutex mutex;
    std::array<ProbeLog*, kRetainedClosedLogs> logs{};
    int next = 0;
};

RetiredLogs& Retired() {
    // Never destroyed, so logs stay readable until the process ends.
    static RetiredLogs* retired = new RetiredLogs;
    return *retired;
}

} // namespace

ProbeLog* NewProbeLog() {
    return new (std::nothrow) ProbeLog;
}

void RetireProbeLog(ProbeLog* log) {
    RetiredLogs& retired = Retired();
    ProbeLog* oldest = nullptr;
    {
        std::lock_guard<std::mutex> hold(retired.mutex);
        oldest = retired.logs[retired.next];
        retired.logs[retired.next] = log;
        retired.next = (retired.next + 1) % kRetainedClosedLogs;
    }
    delete oldest;
}

} // namespace vantreel::probe
