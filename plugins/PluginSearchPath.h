#pragma once
// Where plug-in libraries are looked for. The shared VST folder setting is a search
// path: the VSTPluginsPath value of the settings store, then the folders of VST_PATH
// (or, without it, ~/.vst, /usr/lib/vst and /usr/local/lib/vst), and last the
// program's own plug-in folder beside its executable, which holds our synthesizer.
//
// Threads: user-interface thread (reads files and the environment).

#include "plugins/PluginFolderNames.h"
#include "settings/RegistryStore.h"

#include <string>
#include <vector>

namespace vantreel {

constexpr const char* kVstSettingsKey = "SOFTWARE\\VST";
constexpr const char* kVstPathValue = "VSTPluginsPath";

// The folder named by the settings store, or "" when the key or value is missing or
// not a string.
std::string StoredPluginFolder(RegistryStore& store);

// The folder "vst" beside the running executable, or "" when it cannot be named.
std::string OwnPluginFolder();

// Every folder of the search path, in order, whether it exists or not.
std::vector<std::string> PluginSearchPath(RegistryStore& store);
std::vector<std::string> PluginSearchPath();

bool IsFolder(const std::string& path);

// Why `name` cannot name a library inside a plug-in folder ("" when it can): it must
// be relative and must not climb out with "..", so a project file cannot make the
// program load code from anywhere.
std::string PluginNameProblem(const std::string& name);

// The path of `name` in the first folder that holds it, `pluginFolder` first and then
// along `searchPath`; when none holds it, the path in `pluginFolder`, so the loader's
// own error names the expected place.
std::string FindPluginLibrary(const std::string& name, const std::string& pluginFolder,
                              const std::vector<std::string>& searchPath);

} // namespace vantreel
