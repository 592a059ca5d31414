#pragma once
// The LV2 worker of one instance: the plug-in schedules work from its audio thread,
// a thread of ours does it, and the responses are handed back at the start of the
// next block. Requests and responses pass through lock-free rings; the audio thread
// only wakes the worker, never waits for it.
//
// Threads: Schedule on the audio thread (or, while no block runs, the thread holding
// the engine lock); DeliverResponses and EndRun on the audio thread; the rest on the
// user-interface thread.

#include "plugins/MessageRing.h"

#include <lv2/core/lv2.h>
#include <lv2/worker/worker.h>

#include <atomic>
#include <memory>
#include <semaphore>
#include <thread>
#include <vector>

namespace vantreel {

class Lv2Worker {
public:
    Lv2Worker();
    ~Lv2Worker(); // stops the thread
    Lv2Worker(const Lv2Worker&) = delete;
    Lv2Worker& operator=(const Lv2Worker&) = delete;

    // The feature handed to the plug-in at instantiation.
    LV2_Worker_Schedule* Feature() { return &feature; }
    // Starts the thread once the instance exists; work scheduled before waits for it.
    void Start(const LV2_Worker_Interface* interface, LV2_Handle instance);
    void Stop();

    void DeliverResponses();
    void EndRun();

private:
    LV2_Worker_Status Schedule(uint32_t size, const void* data);
    LV2_Worker_Status Respond(uint32_t size, const void* data);
    void Run();

    LV2_Worker_Schedule feature;
    const LV2_Worker_Interface* interface = nullptr;
    LV2_Handle instance = nullptr;
    MessageRing requests;
    MessageRing responses;
    std::vector<uint8_t> requestScratch;  // the worker thread's
    std::vector<uint8_t> responseScratch; // the audio thread's
    std::counting_semaphore<> wake{0};
    std::atomic<bool> stopping{false};
    std::thread thread;
};

} // namespace vantreel
