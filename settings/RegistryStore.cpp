#include "settings/RegistryStore.h"

#include "settings/SettingsFile.h"

#include <cstdlib>
#include <utility>

namespace vantreel {

namespace {

constexpr const char* kSettingsFolder = "vantreel";
constexpr const char* kSettingsFileName = "settings.ini";

const char* RootName(RootKey root) {
    switch (root) {
    case RootKey::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case RootKey::CurrentUser:
        return "HKEY_CURRENT_USER";
    case RootKey::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    case RootKey::Users:
        return "HKEY_USERS";
    }
    return nullptr;
}

// Key paths are written with backslashes; outer ones mean nothing.
std::string TrimSeparators(const std::string& path) {
    const auto first = path.find_first_not_of('\\');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = path.find_last_not_of('\\');
    return path.substr(first, last - first + 1);
}

std::string EnvironmentFolder(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? std::string(value) : std::string();
}

} // namespace

std::string DefaultSettingsFile() {
    std::string base = EnvironmentFolder("XDG_CONFIG_HOME");
    // Only absolute folders count; a relative one would depend on the working directory.
    if (base.empty() || base.front() != '/') {
        const std::string home = EnvironmentFolder("HOME");
        if (home.empty()) {
            return {};
        }
        base = home + "/.config";
    }
    return base + "/" + kSettingsFolder + "/" + kSettingsFileName;
}

RegistryStore::RegistryStore(std::string path) : filePath(std::move(path)) {}

bool RegistryStore::SetRootKey(RootKey newRoot) {
    if (RootName(newRoot) == nullptr) {
        return false;
    }
    root = newRoot;
    return true;
}

std::string RegistryStore::FullPath(const std::string& keyPath) const {
    std::string full = RootName(root);
    if (!keyPath.empty()) {
        full += "\\" + keyPath;
    }
    return full;
}

bool RegistryStore::OpenKey(const std::string& keyPath, bool create) {
    const std::string path = TrimSeparators(keyPath);
    if (path.empty()) {
        currentKey.clear();
        lastResult = kStoreOk;
        return true;
    }
    const std::string full = FullPath(path);
    const std::optional<SettingsFile> file = SettingsFile::Load(filePath);
    if (file && file->HasKey(full)) {
        lastResult = kStoreOk;
    } else if (!create) {
        lastResult = kStoreNotFound;
        return false;
    } else if (!AppendSettingsKey(filePath, full)) {
        lastResult = kStoreAccessDenied;
        return false;
    } else {
        lastResult = kStoreOk;
    }
    currentKey = path;
    return true;
}

std::string RegistryStore::ReadString(const std::string& valueName,
                                      const std::string& defaultText) {
    const std::string full = FullPath(currentKey);
    const std::optional<SettingsFile> file = SettingsFile::Load(filePath);
    if (!file || !file->HasKey(full)) {
        lastResult = kStoreNotFound;
        return defaultText;
    }
    const SettingsValue* value = file->FindValue(full, valueName);
    if (value == nullptr) {
        lastResult = kStoreNotFound;
        return defaultText;
    }
    if (value->text.size() > kMaxStoreTextLength) {
        lastResult = kStoreMoreData;
        return defaultText;
    }
    lastResult = kStoreOk;
    if (value->type == SettingsValueType::Number) {
        return defaultText;
    }
    return value->text;
}

bool RegistryStore::WriteString(const std::string& valueName, const std::string& text) {
    if (currentKey.empty() || valueName.empty() || text.size() > kMaxStoreTextLength ||
        !WriteSettingsString(filePath, FullPath(currentKey), valueName, text)) {
        lastResult = kStoreAccessDenied;
        return false;
    }
    lastResult = kStoreOk;
    return true;
}

} // namespace vantreel
