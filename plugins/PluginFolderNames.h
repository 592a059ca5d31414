#pragma once
// The plug-in folder names the program starts from or falls back to. They differ in
// case on purpose, and a case-sensitive file system tells them apart.

namespace vantreel {

// Our own plug-in folder beside the executable, and the engine's plug-in folder
// until something else is chosen.
constexpr const char* kOwnPluginFolderName = "vst";
// What the browser settles on when no folder of the search path exists.
constexpr const char* kFallbackPluginFolder = "VST";

} // namespace vantreel
