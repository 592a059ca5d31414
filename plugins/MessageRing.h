#pragma once
// A single-producer, single-consumer ring of variable-sized messages: each message is
// written and read whole, or not at all. The buffer is allocated once, so the audio
// thread may push and pop without allocating, locking or waiting.
//
// Threads: one producer thread and one consumer thread at a time (threads that take
// turns under a lock count as one).

#include <atomic>
#include <cstdint>
#include <vector>

namespace vantreel {

class MessageRing {
public:
    explicit MessageRing(uint32_t capacity); // bytes, headers included
    MessageRing(const MessageRing&) = delete;
    MessageRing& operator=(const MessageRing&) = delete;

    // Producer. False when the message does not fit now; nothing is written then.
    bool Push(const void* data, uint32_t size);
    // Consumer: whether no message waits.
    bool Empty() const;
    // Consumer: copies the next message into `out` (of `room` bytes) and drops it
    // from the ring; returns its size, or 0 when none waits. A message larger than
    // `room` is dropped unread and 0 returned.
    uint32_t Pop(void* out, uint32_t room);

private:
    void CopyIn(uint64_t at, const void* data, uint32_t size);
    void CopyOut(uint64_t at, void* out, uint32_t size) const;

    std::vector<uint8_t> buffer;
    // Running byte counts; their difference is what the ring holds.
    std::atomic<uint64_t> written{0};
    std::atomic<uint64_t> read{0};
};

} // namespace vantreel
