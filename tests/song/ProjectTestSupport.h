#pragma once
// What the project file tests share: engines without an output thread that find our
// own plug-ins, a private environment, scratch folders, a song with something in
// every field, and a field-by-field comparison of two songs.

#include "engine/AudioEngine.h"
#include "song/ProjectLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace vantreel::test {

inline const std::string kPluginDir = VANTREEL_PLUGIN_OUTPUT_DIR;
constexpr const char* kProbeName = "VantreelProbe.so";
constexpr const char* kSynthName = "VantreelSynth.so";

using Bytes = std::vector<uint8_t>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    Bytes bytes(std::size_t(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    return bytes;
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline void PutI32(Bytes& bytes, std::size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = uint8_t(uint32_t(value) >> (8 * i));
    }
}

// A folder under the system's temporary folder, removed with its contents.
class Scratch {
public:
    Scratch() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantreel-files-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        }
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string Path(const std::string& name) const { return path + "/" + name; }
    std::string Folder() const { return path; }

private:
    std::string path;
};

// Plug-ins are found through VST_PATH (any length of path works there) and the
// machine's own settings are kept out of the way.
inline void UsePrivatePluginEnvironment(const Scratch& scratch) {
    setenv("XDG_CONFIG_HOME", scratch.Folder().c_str(), 1);
    setenv("VST_PATH", kPluginDir.c_str(), 1);
}

inline std::unique_ptr<AudioEngine> MakeEngine() {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    if (kPluginDir.size() < std::size_t(kTextSize)) {
        std::memset(engine->pluginFolder, 0, kTextSize);
        std::memcpy(engine->pluginFolder, kPluginDir.data(), kPluginDir.size());
    }
    return engine;
}

// Collects the messages an engine shows instead of printing them.
struct MessageLog {
    std::vector<UserMessage> messages;
    void Attach(AudioEngine& engine) {
        engine.reporter.SetHandler([this](const UserMessage& m) { messages.push_back(m); });
    }
    int Count(const std::string& caption) const {
        int n = 0;
        for (const UserMessage& m : messages) {
            n += m.caption == caption;
        }
        return n;
    }
    bool Mentions(const std::string& text) const {
        for (const UserMessage& m : messages) {
            if (m.text.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

// Sets every program's parameters of the slot's plug-in to values made from `seed`.
void SetPluginValues(AudioEngine& engine, int slot, int seed);

// Patterns, a long arrangement with unusual codes, sends and every setting away
// from its default. Plug-ins are loaded by the caller.
void FillSong(AudioEngine& engine, uint32_t seed);

// Field-by-field: slots, sends, patterns, arrangement, settings.
void ExpectSameSong(const AudioEngine& expected, const AudioEngine& actual);

// The offset of the byte after the record of `slot` (its patterns included), given
// the sizes of the plug-in records before it.
inline uint64_t SlotEnd(int slot, const std::vector<uint64_t>& recordSizes) {
    uint64_t at = kSongHeadSize;
    for (int s = 0; s <= slot; ++s) {
        at += kEmptySlotRecordSize + recordSizes[s];
    }
    return at;
}

} // namespace vantreel::test
