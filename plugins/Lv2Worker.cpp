#include "plugins/Lv2Worker.h"

namespace vantreel {

namespace {
// Room for many requests of the sizes plug-ins send (file names, small structs).
constexpr uint32_t kRingBytes = 1u << 16;
constexpr uint32_t kLargestMessage = kRingBytes / 2;
} // namespace

Lv2Worker::Lv2Worker()
    : requests(kRingBytes), responses(kRingBytes), requestScratch(kLargestMessage),
      responseScratch(kLargestMessage) {
    feature.handle = this;
    feature.schedule_work = [](LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data) {
        return static_cast<Lv2Worker*>(handle)->Schedule(size, data);
    };
}

Lv2Worker::~Lv2Worker() {
    Stop();
}

void Lv2Worker::Start(const LV2_Worker_Interface* workerInterface, LV2_Handle handle) {
    if (workerInterface == nullptr || workerInterface->work == nullptr || thread.joinable()) {
        return;
    }
    interface = workerInterface;
    instance = handle;
    thread = std::thread([this] { Run(); });
}

void Lv2Worker::Stop() {
    if (!thread.joinable()) {
        return;
    }
    stopping.store(true);
    wake.release();
    thread.join();
}

LV2_Worker_Status Lv2Worker::Schedule(uint32_t size, const void* data) {
    if (size > kLargestMessage || !requests.Push(data, size)) {
        return LV2_WORKER_ERR_NO_SPACE;
    }
    wake.release();
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status Lv2Worker::Respond(uint32_t size, const void* data) {
    if (size > kLargestMessage || !responses.Push(data, size)) {
        return LV2_WORKER_ERR_NO_SPACE;
    }
    return LV2_WORKER_SUCCESS;
}

void Lv2Worker::Run() {
    auto respond = [](LV2_Worker_Respond_Handle handle, uint32_t size, const void* data) {
        return static_cast<Lv2Worker*>(handle)->Respond(size, data);
    };
    while (true) {
        wake.acquire();
        if (stopping.load()) {
            return;
        }
        while (!requests.Empty()) {
            const uint32_t size = requests.Pop(requestScratch.data(), kLargestMessage);
            interface->work(instance, respond, this, size, requestScratch.data());
        }
    }
}

void Lv2Worker::DeliverResponses() {
    if (interface == nullptr || interface->work_response == nullptr) {
        return;
    }
    while (!responses.Empty()) {
        const uint32_t size = responses.Pop(responseScratch.data(), kLargestMessage);
        interface->work_response(instance, size, responseScratch.data());
    }
}

void Lv2Worker::EndRun() {
    if (interface != nullptr && interface->end_run != nullptr) {
        interface->end_run(instance);
    }
}

} // namespace vantreel
