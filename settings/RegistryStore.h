#pragma once
// Reads named values of registry-style keys from the settings file (see SettingsFile).
// It remembers a root key and a current key path and reads the file afresh on every
// access, so nothing is held open between calls. No operation shows anything or
// throws: failures give false or the caller's default, and LastResult keeps the code.
//
// Threads: user-interface thread.

#include <cstdint>
#include <string>

namespace vantreel {

// The four registry roots, with the values their names have on the system that has one.
enum class RootKey : uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

// Result codes, numbered as the registry numbers the same outcomes.
enum StoreResult : int32_t {
    kStoreOk = 0,
    kStoreNotFound = 2,
    kStoreAccessDenied = 5,
    kStoreMoreData = 234,
};

// The largest value text returned, terminator excluded: the value buffer is 256 bytes.
constexpr size_t kMaxStoreTextLength = 255;

// $XDG_CONFIG_HOME/vantreel/settings.ini, or ~/.config/vantreel/settings.ini; empty
// when neither folder can be named.
std::string DefaultSettingsFile();

class RegistryStore {
public:
    explicit RegistryStore(std::string filePath = DefaultSettingsFile());

    // True and stored when `root` is one of the four roots; false and unchanged otherwise.
    bool SetRootKey(RootKey root);
    // Makes `keyPath` the current key. Without `create` it must exist; with it, it is
    // added when missing. An empty path clears the current path and succeeds.
    bool OpenKey(const std::string& keyPath, bool create);
    // The value's text when the current key and the value exist, the value is a string
    // or expandable string and its text fits; otherwise `defaultText`.
    std::string ReadString(const std::string& valueName, const std::string& defaultText);
    // Stores `text` as the string value `valueName` of the current key, which must be
    // open. False, with LastResult kStoreAccessDenied, when it cannot be written; a
    // text longer than a read returns, or one holding a line break, is refused.
    bool WriteString(const std::string& valueName, const std::string& text);

    RootKey Root() const { return root; }
    const std::string& CurrentKey() const { return currentKey; }
    int32_t LastResult() const { return lastResult; }

private:
    std::string FullPath(const std::string& keyPath) const;

    std::string filePath;
    int32_t lastResult = kStoreOk;
    RootKey root = RootKey::CurrentUser;
    std::string currentKey;
};

} // namespace vantreel
