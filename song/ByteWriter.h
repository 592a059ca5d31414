#pragma once
// Appends little-endian values to a byte buffer, one field at a time, so the file
// layout never depends on how the compiler lays out a struct.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vantreel {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out(out) {}

    void U8(uint8_t value) { out.push_back(value); }
    void I8(int8_t value) { U8(static_cast<uint8_t>(value)); }
    void U16(uint16_t value) {
        out.push_back(uint8_t(value));
        out.push_back(uint8_t(value >> 8));
    }
    void U32(uint32_t value) {
        out.resize(out.size() + 4);
        Put32(out.data() + out.size() - 4, value);
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void U64(uint64_t value) {
        U32(static_cast<uint32_t>(value));
        U32(static_cast<uint32_t>(value >> 32));
    }
    void F32(float value) {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    void Bytes(const void* data, std::size_t size) {
        const auto* begin = static_cast<const uint8_t*>(data);
        out.insert(out.end(), begin, begin + size);
    }

    // Little-endian 32-bit values, appended in one go: a pattern's cells are most of a
    // project, and growing the buffer once per value is what made saving slow.
    template <typename Next> void U32s(std::size_t count, Next next) {
        const std::size_t at = out.size();
        out.resize(at + 4 * count);
        uint8_t* to = out.data() + at;
        for (std::size_t i = 0; i < count; ++i, to += 4) {
            Put32(to, next(i));
        }
    }

    std::size_t Size() const { return out.size(); }
    const uint8_t* Data() const { return out.data(); }
    // Overwrites a 32-bit value written earlier (sizes known only at the end).
    void PatchU32(std::size_t position, uint32_t value) { Put32(out.data() + position, value); }

private:
    // The one place that lays out a 32-bit value: low byte first.
    static void Put32(uint8_t* to, uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            to[i] = uint8_t(value >> (8 * i));
        }
    }

    std::vector<uint8_t>& out;
};

} // namespace vantreel
