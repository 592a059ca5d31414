#include "plugins/MessageRing.h"

#include <algorithm>
#include <cstring>

namespace vantreel {

namespace {
constexpr uint32_t kHeaderSize = sizeof(uint32_t);
}

MessageRing::MessageRing(uint32_t capacity) : buffer(capacity) {}

bool MessageRing::Push(const void* data, uint32_t size) {
    const uint64_t end = written.load(std::memory_order_relaxed);
    const uint64_t start = read.load(std::memory_order_acquire);
    const uint64_t used = end - start;
    if (uint64_t(size) + kHeaderSize > buffer.size() - used) {
        return false;
    }
    CopyIn(end, &size, kHeaderSize);
    CopyIn(end + kHeaderSize, data, size);
    written.store(end + kHeaderSize + size, std::memory_order_release);
    return true;
}

bool MessageRing::Empty() const {
    return written.load(std::memory_order_acquire) == read.load(std::memory_order_relaxed);
}

uint32_t MessageRing::Pop(void* out, uint32_t room) {
    const uint64_t start = read.load(std::memory_order_relaxed);
    if (written.load(std::memory_order_acquire) == start) {
        return 0;
    }
    uint32_t size = 0;
    CopyOut(start, &size, kHeaderSize);
    const bool fits = size <= room;
    if (fits) {
        CopyOut(start + kHeaderSize, out, size);
    }
    read.store(start + kHeaderSize + size, std::memory_order_release);
    return fits ? size : 0;
}

void MessageRing::CopyIn(uint64_t at, const void* data, uint32_t size) {
    const auto* from = static_cast<const uint8_t*>(data);
    const std::size_t offset = std::size_t(at % buffer.size());
    const std::size_t first = std::min<std::size_t>(size, buffer.size() - offset);
    std::memcpy(buffer.data() + offset, from, first);
    std::memcpy(buffer.data(), from + first, size - first);
}

void MessageRing::CopyOut(uint64_t at, void* out, uint32_t size) const {
    auto* to = static_cast<uint8_t*>(out);
    const std::size_t offset = std::size_t(at % buffer.size());
    const std::size_t first = std::min<std::size_t>(size, buffer.size() - offset);
    std::memcpy(to, buffer.data() + offset, first);
    std::memcpy(to + first, buffer.data(), size - first);
}

} // namespace vantreel
