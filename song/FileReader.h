#pragma once
// Reads a regular file with its size known up front, so every count and size read
// from it can be checked against the bytes that are really left before anything is
// allocated. User-interface thread.

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace vantreel {

class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // False when the path cannot be opened or is not a regular file.
    bool Open(const char* path);
    // Reads `size` bytes in memory instead, which must outlive the reader; false for none.
    bool OpenBytes(const uint8_t* data, std::size_t size);

    uint64_t Size() const { return size; }
    uint64_t Position() const { return position; }
    uint64_t Remaining() const { return size - position; }

    // Reads up to `count` bytes; returns how many were read (fewer at the end).
    std::size_t Read(void* out, std::size_t count);
    bool Seek(uint64_t offset);
    bool Skip(uint64_t count) { return count <= Remaining() && Seek(position + count); }

private:
    std::FILE* file = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;
};

} // namespace vantreel
