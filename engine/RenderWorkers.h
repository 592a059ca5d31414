#pragma once
// A fixed pool of threads that runs one block's items (the slots' plug-in calls)
// together with the thread that hands them out. Started once, never resized; the
// hand-off is a few atomics, waited on with std::atomic::wait after a short spin, so
// nothing on it allocates, locks a mutex or makes any other system call.
//
// Threads: construction and destruction on the user-interface thread while no block
// is handed out; Begin and Join on the one handing-out thread (the audio thread);
// the job runs on that thread and on the workers.

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace vantreel {

// Far above the cores of any machine this runs on; keeps the per-thread scratch bounded.
constexpr int kMaxRenderThreads = 64;

class RenderWorkers {
public:
    // Runs item `index` of the current block on the thread numbered `thread`: 0 is
    // the handing-out thread, 1 and up the workers, so each may keep scratch of its own.
    using Job = void (*)(void* context, int index, int thread);

    // `threads` counts the handing-out thread; threads - 1 workers start (clamped to
    // 1..kMaxRenderThreads, so 1 starts none and every item runs on the caller).
    RenderWorkers(int threads, Job job, void* context);
    ~RenderWorkers(); // stops and joins the workers
    RenderWorkers(const RenderWorkers&) = delete;
    RenderWorkers& operator=(const RenderWorkers&) = delete;

    int Threads() const { return int(workers.size()) + 1; }

    // Audio thread: makes items 0..count-1 available to the workers. The caller may
    // do other work before it calls Join; the items' inputs must be ready now.
    void Begin(int count);
    // Audio thread: runs items no worker has taken yet, then waits until every item
    // of the block has finished; their results are visible to the caller afterwards.
    void Join();

private:
    void WorkerLoop(int thread);
    bool RunOneItem(int thread); // false when no item is left to take
    static void WaitForChange(const std::atomic<uint32_t>& value, uint32_t old);

    const Job job;
    void* const context;
    // The block's items: the count in the high half, the next item to take in the
    // low half, so an item is taken and checked against its own block in one step.
    std::atomic<uint64_t> items{0};
    std::atomic<uint32_t> generation{0}; // bumped per block; what idle workers wait on
    std::atomic<uint32_t> unfinished{0}; // items of the block not yet finished
    std::atomic<bool> stopping{false};
    std::vector<std::thread> workers;
};

} // namespace vantreel
