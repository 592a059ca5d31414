#include "plugins/TransportRecord.h"

#include <cstring>
#include <thread>

namespace vantreel {

TransportRecord::TransportRecord() {
    for (auto& word : words) {
        word.store(0, std::memory_order_relaxed);
    }
}

void TransportRecord::Publish(const VstTimeInfo& info) {
    uint64_t packed[kWords];
    std::memcpy(packed, &info, sizeof info);
    const uint32_t start = sequence.load(std::memory_order_relaxed);
    sequence.store(start + 1, std::memory_order_relaxed);
    // Each word is released, so a reader that sees any new word also sees the odd
    // sequence number stored before it, and retries.
    for (int n = 0; n < kWords; ++n) {
        words[n].store(packed[n], std::memory_order_release);
    }
    sequence.store(start + 2, std::memory_order_release);
}

VstTimeInfo TransportRecord::Read() const {
    uint64_t packed[kWords];
    for (;;) {
        const uint32_t before = sequence.load(std::memory_order_acquire);
        if (before % 2 != 0) {
            std::this_thread::yield(); // the writer is inside a record of 88 bytes
            continue;
        }
        for (int n = 0; n < kWords; ++n) {
            packed[n] = words[n].load(std::memory_order_acquire);
        }
        if (sequence.load(std::memory_order_relaxed) == before) {
            break;
        }
    }
    VstTimeInfo info;
    std::memcpy(&info, packed, sizeof info);
    return info;
}

} // namespace vantreel
