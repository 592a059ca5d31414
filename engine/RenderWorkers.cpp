#include "engine/RenderWorkers.h"

#include <algorithm>

namespace vantreel {

namespace {

// A few microseconds of polling before sleeping: a block's items usually arrive, and
// finish, within that, and a sleeping thread takes far longer to wake. Kept short, as
// a spinning thread takes a core from others on a busy machine.
constexpr int kSpinRounds = 256;

constexpr uint64_t Pack(uint32_t count, uint32_t next) {
    return (uint64_t(count) << 32) | next;
}
constexpr uint32_t CountOf(uint64_t packed) {
    return uint32_t(packed >> 32);
}
constexpr uint32_t NextOf(uint64_t packed) {
    return uint32_t(packed);
}

void Relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

} // namespace

RenderWorkers::RenderWorkers(int threads, Job work, void* jobContext)
    : job(work), context(jobContext) {
    const int count = std::clamp(threads, 1, kMaxRenderThreads);
    workers.reserve(size_t(count - 1));
    for (int t = 1; t < count; ++t) {
        workers.emplace_back([this, t] { WorkerLoop(t); });
    }
}

RenderWorkers::~RenderWorkers() {
    stopping.store(true, std::memory_order_relaxed);
    generation.fetch_add(1, std::memory_order_release);
    generation.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
}

void RenderWorkers::Begin(int count) {
    unfinished.store(uint32_t(count), std::memory_order_relaxed);
    // Release: whatever the caller prepared for the items is seen by whoever takes one.
    items.store(Pack(uint32_t(count), 0), std::memory_order_release);
    if (!workers.empty() && count > 0) {
        generation.fetch_add(1, std::memory_order_release);
        generation.notify_all();
    }
}

void RenderWorkers::Join() {
    if (workers.empty()) {
        // Nobody to share the items with: they run here in order, without atomics.
        const uint32_t count = CountOf(items.load(std::memory_order_relaxed));
        for (uint32_t item = 0; item < count; ++item) {
            job(context, int(item), 0);
        }
        items.store(Pack(count, count), std::memory_order_relaxed);
        unfinished.store(0, std::memory_order_relaxed);
        return;
    }
    while (RunOneItem(0)) {
    }
    // Spin, then sleep, until the workers' last items have finished.
    for (int round = 0; round < kSpinRounds; ++round) {
        if (unfinished.load(std::memory_order_acquire) == 0) {
            return;
        }
        Relax();
    }
    uint32_t left = unfinished.load(std::memory_order_acquire);
    while (left != 0) {
        unfinished.wait(left, std::memory_order_acquire);
        left = unfinished.load(std::memory_order_acquire);
    }
}

bool RenderWorkers::RunOneItem(int thread) {
    uint64_t packed = items.load(std::memory_order_acquire);
    do {
        if (NextOf(packed) >= CountOf(packed)) {
            return false;
        }
    } while (!items.compare_exchange_weak(packed, packed + 1, std::memory_order_acq_rel,
                                          std::memory_order_acquire));
    job(context, int(NextOf(packed)), thread);
    // Release: the item's results are seen by the caller once it sees the count reach 0.
    if (unfinished.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        unfinished.notify_one(); // only the handing-out thread waits for it
    }
    return true;
}

void RenderWorkers::WorkerLoop(int thread) {
    // The value before any thread started: a block, or the stop, handed out before
    // this thread got here is seen as a change rather than waited past.
    uint32_t seen = 0;
    for (;;) {
        // A worker late for one block may take items of the next: they are as valid.
        while (RunOneItem(thread)) {
        }
        WaitForChange(generation, seen);
        seen = generation.load(std::memory_order_acquire);
        if (stopping.load(std::memory_order_relaxed)) {
            return;
        }
    }
}

// Returns once `value` differs from `old`.
void RenderWorkers::WaitForChange(const std::atomic<uint32_t>& value, uint32_t old) {
    for (int round = 0; round < kSpinRounds; ++round) {
        if (value.load(std::memory_order_acquire) != old) {
            return;
        }
        Relax();
    }
    uint32_t now = value.load(std::memory_order_acquire);
    while (now == old) {
        value.wait(old, std::memory_order_acquire);
        now = value.load(std::memory_order_acquire);
    }
}

} // namespace vantreel
