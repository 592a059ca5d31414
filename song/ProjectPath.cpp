#include "song/ProjectPath.h"

#include <cctype>
#include <cstring>

namespace vantreel {

std::string WithProjectExtension(const std::string& path) {
    const std::size_t n = std::strlen(kProjectExtension);
    if (path.size() >= n) {
        bool same = true;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char c = static_cast<unsigned char>(path[path.size() - n + i]);
            same = same && std::tolower(c) == kProjectExtension[i];
        }
        if (same) {
            return path;
        }
    }
    return path + kProjectExtension;
}

} // namespace vantreel
