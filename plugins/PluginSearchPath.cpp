#include "plugins/PluginSearchPath.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace vantreel {

namespace {

namespace fs = std::filesystem;

constexpr const char* kVstPathVariable = "VST_PATH";
constexpr const char* kHomePluginFolder = "/.vst";
constexpr const char* kSystemPluginFolders[] = {"/usr/lib/vst", "/usr/local/lib/vst"};
constexpr const char* kOwnExecutableLink = "/proc/self/exe";
constexpr char kPathListSeparator = ':';

std::string Environment(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? std::string(value) : std::string();
}

std::vector<std::string> SplitPathList(const std::string& list) {
    std::vector<std::string> folders;
    std::istringstream in(list);
    std::string folder;
    while (std::getline(in, folder, kPathListSeparator)) {
        if (!folder.empty()) {
            folders.push_back(folder);
        }
    }
    return folders;
}

std::vector<std::string> SharedFolders() {
    const std::string listed = Environment(kVstPathVariable);
    if (!listed.empty()) {
        return SplitPathList(listed);
    }
    std::vector<std::string> folders;
    const std::string home = Environment("HOME");
    if (!home.empty()) {
        folders.push_back(home + kHomePluginFolder);
    }
    for (const char* folder : kSystemPluginFolders) {
        folders.push_back(folder);
    }
    return folders;
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

} // namespace

std::string StoredPluginFolder(RegistryStore& store) {
    if (!store.SetRootKey(RootKey::LocalMachine) || !store.OpenKey(kVstSettingsKey, false)) {
        return {};
    }
    return store.ReadString(kVstPathValue, "");
}

std::string OwnPluginFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink(kOwnExecutableLink, error);
    if (error || executable.empty()) {
        return {};
    }
    return (executable.parent_path() / kOwnPluginFolderName).string();
}

std::vector<std::string> PluginSearchPath(RegistryStore& store) {
    std::vector<std::string> folders;
    const std::string stored = StoredPluginFolder(store);
    if (!stored.empty()) {
        folders.push_back(stored);
    }
    for (const std::string& folder : SharedFolders()) {
        folders.push_back(folder);
    }
    const std::string own = OwnPluginFolder();
    if (!own.empty()) {
        folders.push_back(own);
    }
    return folders;
}

std::vector<std::string> PluginSearchPath() {
    RegistryStore store;
    return PluginSearchPath(store);
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

std::string PluginNameProblem(const std::string& name) {
    if (name.empty()) {
        return "empty library name";
    }
    const fs::path path(name);
    if (path.is_absolute()) {
        return "library name is not inside the plug-in folder";
    }
    for (const fs::path& part : path) {
        if (part == "..") {
            return "library name is not inside the plug-in folder";
        }
    }
    return {};
}

std::string FindPluginLibrary(const std::string& name, const std::string& pluginFolder,
                              const std::vector<std::string>& searchPath) {
    const std::string first = pluginFolder + "/" + name;
    if (IsFile(first)) {
        return first;
    }
    for (const std::string& folder : searchPath) {
        const std::string candidate = folder + "/" + name;
        if (IsFile(candidate)) {
            return candidate;
        }
    }
    return first;
}

} // namespace vantreel
