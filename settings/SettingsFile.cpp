#include "settings/SettingsFile.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vantreel {

namespace {

constexpr char kCommentMarks[] = ";#";

struct TypeWord {
    const char* word;
    SettingsValueType type;
};

constexpr TypeWord kTypeWords[] = {
    {"string", SettingsValueType::String},
    {"expandable", SettingsValueType::Expandable},
    {"number", SettingsValueType::Number},
};

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Splits "type:text" when the part before the colon is a type word; otherwise the
// whole text is a plain string.
SettingsValue ParseValue(const std::string& name, const std::string& raw) {
    SettingsValue value{name, SettingsValueType::String, raw};
    const auto colon = raw.find(':');
    if (colon == std::string::npos) {
        return value;
    }
    const std::string word = Trim(raw.substr(0, colon));
    for (const TypeWord& candidate : kTypeWords) {
        if (SameSettingsName(word, candidate.word)) {
            value.type = candidate.type;
            value.text = Trim(raw.substr(colon + 1));
            break;
        }
    }
    return value;
}

bool IsBeneath(const std::string& path, const std::string& keyPath) {
    return path.size() > keyPath.size() && path[keyPath.size()] == '\\' &&
           SameSettingsName(path.substr(0, keyPath.size()), keyPath);
}

} // namespace

bool SameSettingsName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<SettingsFile> SettingsFile::Load(const std::string& filePath) {
    if (filePath.empty()) {
        return std::nullopt;
    }
    std::ifstream in(filePath, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream contents;
    contents << in.rdbuf();
    return Parse(contents.str());
}

SettingsFile SettingsFile::Parse(const std::string& contents) {
    SettingsFile file;
    std::istringstream lines(contents);
    std::string line;
    SettingsKey* current = nullptr;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || std::string(kCommentMarks).find(line[0]) != std::string::npos) {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            file.keys.push_back({Trim(line.substr(1, line.size() - 2)), {}});
            current = &file.keys.back();
            continue;
        }
        const auto equals = line.find('=');
        if (current == nullptr || equals == std::string::npos) {
            continue; // a value outside any key, or no value at all: not ours to guess
        }
        const std::string name = Trim(line.substr(0, equals));
        current->values.push_back(ParseValue(name, Trim(line.substr(equals + 1))));
    }
    return file;
}

bool SettingsFile::HasKey(const std::string& keyPath) const {
    for (const SettingsKey& key : keys) {
        if (SameSettingsName(key.path, keyPath) || IsBeneath(key.path, keyPath)) {
            return true;
        }
    }
    return false;
}

const SettingsValue* SettingsFile::FindValue(const std::string& keyPath,
                                             const std::string& name) const {
    // A later line of the same name overrides an earlier one, as a re-edited file means.
    const SettingsValue* found = nullptr;
    for (const SettingsKey& key : keys) {
        if (!SameSettingsName(key.path, keyPath)) {
            continue;
        }
        for (const SettingsValue& value : key.values) {
            if (SameSettingsName(value.name, name)) {
                found = &value;
            }
        }
    }
    return found;
}

namespace {

std::vector<std::string> ReadLines(const std::string& filePath) {
    std::vector<std::string> lines;
    std::ifstream in(filePath, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

// The key a section line opens, or nullopt for any other line.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
        return Trim(trimmed.substr(1, trimmed.size() - 2));
    }
    return std::nullopt;
}

bool NamesValue(const std::string& line, const std::string& name) {
    const std::string trimmed = Trim(line);
    const auto equals = trimmed.find('=');
    return !trimmed.empty() && std::string(kCommentMarks).find(trimmed[0]) == std::string::npos &&
           equals != std::string::npos && SameSettingsName(Trim(trimmed.substr(0, equals)), name);
}

// Where the new line goes: over the value a read would find, else after the last line
// of the key's last section. `replace` says which; -1 when the key has no section.
int PlaceFor(const std::vector<std::string>& lines, const std::string& keyPath,
             const std::string& name, bool& replace) {
    int found = -1;
    int sectionEnd = -1;
    bool inside = false;
    for (int n = 0; n < int(lines.size()); ++n) {
        if (const auto section = SectionOf(lines[n])) {
            inside = SameSettingsName(*section, keyPath);
            if (inside) {
                sectionEnd = n + 1;
            }
            continue;
        }
        if (inside && NamesValue(lines[n], name)) {
            found = n;
        }
        if (inside && !Trim(lines[n]).empty()) {
            sectionEnd = n + 1;
        }
    }
    replace = found >= 0;
    return replace ? found : sectionEnd;
}

bool WriteWhole(const std::string& filePath, const std::vector<std::string>& lines) {
    std::error_code error;
    const std::filesystem::path target(filePath);
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
    }
    const std::string temporary = filePath + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
        if (!out.flush()) {
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, target, error);
    return !error;
}

} // namespace

bool WriteSettingsString(const std::string& filePath, const std::string& keyPath,
                         const std::string& name, const std::string& text) {
    if (filePath.empty() || text.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    std::vector<std::string> lines = ReadLines(filePath);
    const std::string line = name + "=string:" + text;
    bool replace = false;
    const int at = PlaceFor(lines, keyPath, name, replace);
    if (replace) {
        lines[size_t(at)] = line;
    } else if (at >= 0) {
        lines.insert(lines.begin() + at, line);
    } else {
        lines.push_back("[" + keyPath + "]");
        lines.push_back(line);
    }
    return WriteWhole(filePath, lines);
}

bool AppendSettingsKey(const std::string& filePath, const std::string& keyPath) {
    if (filePath.empty()) {
        return false;
    }
    std::error_code error;
    const std::filesystem::path parent = std::filesystem::path(filePath).parent_path();
    if (!parent.empty()) {
        std::filesystem::create_directories(parent, error);
    }
    std::ofstream out(filePath, std::ios::binary | std::ios::app);
    if (!out) {
        return false;
    }
    out << "\n[" << keyPath << "]\n";
    return static_cast<bool>(out.flush());
}

} // namespace vantreel
