#pragma once
// The bytes an LV2 instrument's state is kept in as the slot's chunk: the control
// input values by port symbol, then every property the plug-in stored, by the URIs of
// its key and type, in the order the plug-in stored them. Written field by field,
// little-endian, so the same state always gives the same bytes (docs/file-format.md).
//
// Threads: user-interface thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantreel {

struct Lv2PortValue {
    std::string symbol;
    float value = 0.0f;
};

struct Lv2StateProperty {
    std::string key;  // URI
    std::string type; // URI
    uint32_t flags = 0;
    std::vector<uint8_t> value;
};

struct Lv2StateImage {
    std::vector<Lv2PortValue> ports;
    std::vector<Lv2StateProperty> properties;
};

std::vector<uint8_t> EncodeStateChunk(const Lv2StateImage& image);
// False (and `image` unusable) when the bytes are not a whole chunk of this form.
bool DecodeStateChunk(const uint8_t* bytes, std::size_t size, Lv2StateImage& image);

} // namespace vantreel
