#pragma once
// The engine's one lock: re-entrant, so LoadProject -> ClearProject -> UnloadPlugin
// may nest on the user-interface thread. The real-time callback only ever waits a
// bounded time for it.

#include <chrono>
#include <mutex>
#include <thread>

namespace vantreel {

class EngineLock {
public:
    void lock() { mutex.lock(); }
    void unlock() { mutex.unlock(); }
    bool try_lock() { return mutex.try_lock(); }

    // Polls rather than sleeping inside the mutex: the wait is short and rare (a file
    // or plug-in operation holding the lock), and plain try_lock keeps every lock
    // operation visible to the thread sanitizer.
    template <typename Rep, typename Period>
    bool try_lock_for(std::chrono::duration<Rep, Period> wait) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (!mutex.try_lock()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(kPollInterval);
        }
        return true;
    }

private:
    static constexpr std::chrono::microseconds kPollInterval{100};
    std::recursive_mutex mutex;
};

using EngineLockGuard = std::lock_guard<EngineLock>;

} // namespace vantreel
