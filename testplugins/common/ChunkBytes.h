#pragma once
// Little-endian field-by-field writing and reading of plug-in state chunks, so a
// saved chunk means the same on every machine and a short one is caught, not overrun.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantreel::chunkbytes {

class ChunkWriter {
public:
    ChunkWriter(uint8_t* data, std::size_t capacity) : data(data), capacity(capacity) {}

    void U32(uint32_t value) {
        if (used + 4 > capacity) {
            overflow = true;
            return;
        }
        for (int shift = 0; shift < 32; shift += 8) {
            data[used++] = static_cast<uint8_t>(value >> shift);
        }
    }
    void F32(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    // Writes exactly `length` bytes: the text, then zeros.
    void Text(const char* text, std::size_t length) {
        if (used + length > capacity) {
            overflow = true;
            return;
        }
        std::size_t n = 0;
        for (; n < length && text[n] != '\0'; ++n) {
            data[used + n] = static_cast<uint8_t>(text[n]);
        }
        std::memset(data + used + n, 0, length - n);
        used += length;
    }
    std::size_t Size() const { return used; }
    bool Ok() const { return !overflow; }

private:
    uint8_t* data;
    std::size_t capacity;
    std::size_t used = 0;
    bool overflow = false;
};

class ChunkReader {
public:
    ChunkReader(const uint8_t* data, std::size_t size) : data(data), size(size) {}

    uint32_t U32() {
        if (used + 4 > size) {
            underflow = true;
            return 0;
        }
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            value |= static_cast<uint32_t>(data[used++]) << shift;
        }
        return value;
    }
    float F32() {
        uint32_t bits = U32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // Reads `length` bytes into a buffer of length + 1, always terminated.
    void Text(char* out, std::size_t length) {
        if (used + length > size) {
            underflow = true;
            out[0] = '\0';
            return;
        }
        std::memcpy(out, data + used, length);
        out[length] = '\0';
        used += length;
    }
    bool Ok() const { return !underflow; }

private:
    const uint8_t* data;
    std::size_t size;
    std::size_t used = 0;
    bool underflow = false;
};

} // namespace vantreel::chunkbytes
