#pragma once
// Replaces a file so that, whatever fails, it is either the old file untouched or
// the new one whole: the bytes go to a temporary file beside it, every write is
// checked, the data is flushed to the disk, and only then is it renamed over the
// target. User-interface thread (any thread that may block on the disk).

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantreel {

// On failure returns false with the system's reason in `error` ("Permission denied")
// and leaves no temporary file.
bool WriteFileAtomically(const std::string& path, const uint8_t* data, std::size_t size,
                         std::string& error);

} // namespace vantreel
