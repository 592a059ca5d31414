#include "song/FileReader.h"

#include <sys/stat.h>

namespace vantreel {

FileReader::~FileReader() {
    if (file) {
        std::fclose(file);
    }
}

bool FileReader::Open(const char* path) {
    file = std::fopen(path, "rb");
    if (!file) {
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        std::fclose(file);
        file = nullptr;
        return false;
    }
    size = uint64_t(info.st_size);
    position = 0;
    return true;
}

bool FileReader::OpenBytes(const uint8_t* data, std::size_t count) {
    if (file || data == nullptr || count == 0) {
        return false;
    }
    // Opened for reading only: the buffer is never written through the stream.
    file = fmemopen(const_cast<uint8_t*>(data), count, "rb");
    if (!file) {
        return false;
    }
    size = count;
    position = 0;
    return true;
}

std::size_t FileReader::Read(void* out, std::size_t count) {
    if (!file || count == 0) {
        return 0;
    }
    const std::size_t got = std::fread(out, 1, count, file);
    position += got;
    if (position > size) { // the file grew while we read it: keep the bounds honest
        size = position;
    }
    return got;
}

bool FileReader::Seek(uint64_t offset) {
    if (!file || offset > size || fseeko(file, off_t(offset), SEEK_SET) != 0) {
        return false;
    }
    position = offset;
    return true;
}

} // namespace vantreel
