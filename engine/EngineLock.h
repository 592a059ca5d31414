#pragma once
// The engine's one lock: re-entrant, so LoadProject -> ClearProject -> UnloadPlugin
// may nest on the user-interface thread. The real-time callback only ever waits a
// bounded time for it.

#include <chrono>
#include <mutex>

namespace vantreel {

class EngineLock {
public:
    void lock() { mutex.lock(); }
    void unlock() { mutex.unlock(); }
    bool try_lock() { return mutex.try_lock(); }
    template <typename Rep, typename Period>
    bool try_lock_for(std::chrono::duration<Rep, Period> wait) {
        return mutex.try_lock_for(wait);
    }

private:
    std::recursive_timed_mutex mutex;
};

using EngineLockGuard = std::lock_guard<EngineLock>;

} // namespace vantreel
