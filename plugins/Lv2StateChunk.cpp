#include "plugins/Lv2StateChunk.h"

#include "song/ByteReader.h"
#include "song/ByteWriter.h"

#include <cstring>

namespace vantreel {

namespace {

constexpr char kTag[8] = {'V', 'N', 'T', 'R', 'L', 'V', '2', 'S'};
constexpr uint32_t kVersion = 1;

void WriteText(ByteWriter& out, const std::string& text) {
    out.U32(uint32_t(text.size()));
    out.Bytes(text.data(), text.size());
}

bool ReadText(ByteReader& in, std::string& text) {
    const uint32_t size = in.U32();
    const uint8_t* bytes = in.Bytes(size);
    if (bytes == nullptr) {
        return false;
    }
    text.assign(reinterpret_cast<const char*>(bytes), size);
    return true;
}

} // namespace

std::vector<uint8_t> EncodeStateChunk(const Lv2StateImage& image) {
    std::vector<uint8_t> bytes;
    bytes.reserve(sizeof kTag + 12);
    ByteWriter out(bytes);
    out.Bytes(kTag, sizeof kTag);
    out.U32(kVersion);
    out.U32(uint32_t(image.ports.size()));
    for (const Lv2PortValue& port : image.ports) {
        WriteText(out, port.symbol);
        out.F32(port.value);
    }
    out.U32(uint32_t(image.properties.size()));
    for (const Lv2StateProperty& property : image.properties) {
        WriteText(out, property.key);
        WriteText(out, property.type);
        out.U32(property.flags);
        out.U32(uint32_t(property.value.size()));
        out.Bytes(property.value.data(), property.value.size());
    }
    return bytes;
}

bool DecodeStateChunk(const uint8_t* bytes, std::size_t size, Lv2StateImage& image) {
    image = {};
    ByteReader in(bytes, size);
    const uint8_t* tag = in.Bytes(sizeof kTag);
    if (tag == nullptr || std::memcmp(tag, kTag, sizeof kTag) != 0 || in.U32() != kVersion) {
        return false;
    }
    // Every count is checked against the bytes left before anything is reserved.
    const uint32_t ports = in.U32();
    for (uint32_t n = 0; n < ports && in.Ok(); ++n) {
        Lv2PortValue port;
        if (!ReadText(in, port.symbol)) {
            return false;
        }
        port.value = in.F32();
        image.ports.push_back(std::move(port));
    }
    const uint32_t properties = in.U32();
    for (uint32_t n = 0; n < properties && in.Ok(); ++n) {
        Lv2StateProperty property;
        if (!ReadText(in, property.key) || !ReadText(in, property.type)) {
            return false;
        }
        property.flags = in.U32();
        const uint32_t length = in.U32();
        const uint8_t* value = in.Bytes(length);
        if (value == nullptr) {
            return false;
        }
        property.value.assign(value, value + length);
        image.properties.push_back(std::move(property));
    }
    return in.Ok() && in.Remaining() == 0;
}

} // namespace vantreel
