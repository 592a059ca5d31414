#pragma once
// CRC-32 (the polynomial of zip and PNG), guarding the project file's extension.

#include <cstddef>
#include <cstdint>

namespace vantreel {

uint32_t Crc32(const uint8_t* data, std::size_t size);

} // namespace vantreel
