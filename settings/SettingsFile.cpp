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
