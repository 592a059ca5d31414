#pragma once
// The ".vpf" rule for project file names.

#include <string>

namespace vantreel {

constexpr const char* kProjectExtension = ".vpf";

// The path with ".vpf" appended unless its last four characters already are ".vpf"
// in any mix of upper and lower case.
std::string WithProjectExtension(const std::string& path);

} // namespace vantreel
