#include "midi/ShortMessage.h"

namespace vantreel {

std::optional<uint32_t> PackShortMessage(const unsigned char* bytes, size_t size) {
    if (bytes == nullptr || size == 0 || bytes[0] == kSystemExclusive) {
        return std::nullopt;
    }
    EventCell cell;
    cell.status = bytes[0];
    cell.data1 = size > 1 ? bytes[1] : 0;
    cell.data2 = size > 2 ? bytes[2] : 0;
    return cell.Pack();
}

} // namespace vantreel
