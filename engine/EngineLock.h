#pragma once
// The engine's one lock: re-entrant, so LoadProject -> ClearProject -> UnloadPlugin
// may nest on the user-interface thread. It is fair to a waiting user-interface
// operation: the render takes it only while no such operation waits, so however long
// the plug-ins take per block, Stop waits at most for the callback in progress. The
// real-time callback only ever waits a bounded time for it.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace vantreel {

class EngineLock {
public:
    // User-interface thread (and tests): an operation that needs the engine still.
    // Counted as waiting until it holds the lock, so the render lets it in first.
    void lock() {
        if (!HeldHere()) {
            waiting.fetch_add(1);
            mutex.lock();
            waiting.fetch_sub(1);
        } else {
            mutex.lock();
        }
        Entered();
    }
    void unlock() {
        if (--depth == 0) {
            owner.store(std::thread::id());
        }
        mutex.unlock();
    }
    bool try_lock() {
        if (!mutex.try_lock()) {
            return false;
        }
        Entered();
        return true;
    }

    // The render's side: the thread that calls the stream callback. Blocks until no
    // operation waits and the lock is free.
    void LockForRender() {
        while (!TryLockForRender()) {
            std::this_thread::sleep_for(kPollInterval);
        }
    }

    // The real-time callback: as LockForRender, but gives up after `wait`. Polls rather
    // than sleeping inside the mutex: the wait is short and rare (a file or plug-in
    // operation holding the lock), and plain try_lock keeps every lock operation
    // visible to the thread sanitizer.
    template <typename Rep, typename Period>
    bool TryLockForRender(std::chrono::duration<Rep, Period> wait) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (!TryLockForRender()) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(kPollInterval);
        }
        return true;
    }

private:
    // A thread that holds the lock already goes on, whoever waits: it is what they wait for.
    bool TryLockForRender() { return (HeldHere() || waiting.load() == 0) && try_lock(); }
    bool HeldHere() const { return owner.load() == std::this_thread::get_id(); }
    void Entered() {
        if (depth++ == 0) {
            owner.store(std::this_thread::get_id());
        }
    }

    static constexpr std::chrono::microseconds kPollInterval{100};
    std::recursive_mutex mutex;
    std::atomic<int> waiting{0}; // user-interface operations waiting for the lock
    std::atomic<std::thread::id> owner{};
    int depth = 0; // changed only by the thread holding the lock
};

using EngineLockGuard = std::lock_guard<EngineLock>;

} // namespace vantreel
