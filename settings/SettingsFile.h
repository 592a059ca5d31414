#pragma once
// The small text file that stands in for the system registry. Sections are key paths
// under a root ("[HKEY_LOCAL_MACHINE\SOFTWARE\VST]"); each line below a section is
// one named value, "Name=type:text" with type string, expandable or number. A value
// without a known type word is a plain string, so a hand-written "Name=/some/folder"
// works. Lines starting with ';' or '#' are comments. Key and value names compare
// without regard to case, as registry names do.
//
// Threads: one thread at a time per file object (the user-interface thread).

#include <optional>
#include <string>
#include <vector>

namespace vantreel {

enum class SettingsValueType { String, Expandable, Number };

struct SettingsValue {
    std::string name;
    SettingsValueType type = SettingsValueType::String;
    std::string text;
};

struct SettingsKey {
    std::string path; // full path, root name first
    std::vector<SettingsValue> values;
};

class SettingsFile {
public:
    // Reads and parses the file; nullopt when it cannot be read (missing, unreadable).
    static std::optional<SettingsFile> Load(const std::string& filePath);
    static SettingsFile Parse(const std::string& contents);

    // True when the key, or a key beneath it, is present.
    bool HasKey(const std::string& keyPath) const;
    const SettingsValue* FindValue(const std::string& keyPath, const std::string& name) const;

    const std::vector<SettingsKey>& Keys() const { return keys; }

private:
    std::vector<SettingsKey> keys;
};

// Adds an empty section for `keyPath` at the end of the file, creating the file and
// its folders when missing. False when it cannot be written.
bool AppendSettingsKey(const std::string& filePath, const std::string& keyPath);

// Sets the string value `name` of the key `keyPath` to `text`: an existing line of that
// name (the one a read finds) is replaced, else a line is added at the end of the
// key's section, else the section is added. Comments and every other line stay. The
// file is replaced only once the new one is whole. False when it cannot be written
// or `text` holds a line break.
bool WriteSettingsString(const std::string& filePath, const std::string& keyPath,
                         const std::string& name, const std::string& text);

// Compares two names the way registry names compare: without regard to ASCII case.
bool SameSettingsName(const std::string& a, const std::string& b);

} // namespace vantreel
