#pragma once
// Reads little-endian values from a span of bytes. Reading past the end yields zero
// and marks the reader as failed instead of overrunning, so a short or damaged
// record is caught by one check after the fields.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantreel {

class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data(data), size(size) {}

    uint8_t U8() {
        const uint8_t* p = Bytes(1);
        return p ? p[0] : 0;
    }
    int8_t I8() { return static_cast<int8_t>(U8()); }
    uint16_t U16() {
        const uint8_t* p = Bytes(2);
        return p ? uint16_t(p[0] | p[1] << 8) : 0;
    }
    uint32_t U32() {
        const uint8_t* p = Bytes(4);
        return p ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                       uint32_t(p[3]) << 24
                 : 0;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint64_t U64() {
        const uint64_t low = U32();
        const uint64_t high = U32();
        return low | high << 32;
    }
    float F32() {
        const uint32_t bits = U32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // The next `count` bytes, or null (and failed) when fewer remain.
    const uint8_t* Bytes(std::size_t count) {
        if (count > Remaining()) {
            failed = true;
            position = size;
            return nullptr;
        }
        const uint8_t* p = data + position;
        position += count;
        return p;
    }

    bool Ok() const { return !failed; }
    std::size_t Remaining() const { return size - position; }
    std::size_t Position() const { return position; }

private:
    const uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
    bool failed = false;
};

} // namespace vantreel
