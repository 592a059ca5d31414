// Loads arbitrary bytes as a project file, with our synthesizer and probe plug-ins
// available, then plays one buffer of whatever was loaded.
//
// The first input byte picks how the file is made from the rest:
//   bit 0 clear: the rest is the file itself (short files: the head, slot 0's plug-in
//                record and the start of its patterns);
//   bit 0 set:   the rest patches a whole valid project made at start-up (probe, two
//                synthesizers, a missing plug-in, a long arrangement), as records of
//                u32 offset (modulo the size), u8 count, count bytes;
//   bit 1 set:   with bit 0, the 4 bytes after the first byte cut the file to that
//                length (modulo the size) before the patches.
// Fuzzing builds skip the extension's checksum, so patches reach its parser.

#include "engine/AudioEngine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace vantreel;

constexpr const char* kPluginDir = VANTREEL_PLUGIN_OUTPUT_DIR;
constexpr uint8_t kPatchMode = 1;
constexpr uint8_t kCutMode = 2;

AudioEngine* engine = nullptr;
std::vector<uint8_t> templateFile;
int memoryFile = -1;
std::string memoryPath;

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A project using everything the format holds, saved once into a temporary folder.
std::vector<uint8_t> MakeTemplate(const std::string& folder) {
    std::filesystem::copy_file(std::string(kPluginDir) + "/VantreelSynth.so", folder + "/Gone.so");
    AudioEngine source(OutputMode::CallerDriven);
    std::strncpy(source.pluginFolder, folder.c_str(), kTextSize - 1);
    source.LoadPlugin(0, "VantreelProbe.so");
    source.LoadPlugin(2, "VantreelSynth.so");
    source.LoadPlugin(5, "Gone.so");
    source.LoadPlugin(9, "VantreelSynth.so");
    for (int line = 0; line < kArrangementLines; line += 16) {
        source.song.arrangement.Set(line, line % kSlotCount, {uint8_t(line % 26), 1});
    }
    for (int slot = 0; slot < kSlotCount; ++slot) {
        source.song.slots[slot].patterns[0].SetCell(0, 0, {kNoteOnStatus, 60, 100, 1});
    }
    const std::string path = folder + "/template.vpf";
    source.SaveProject(path.c_str());
    source.ClearProject();
    std::filesystem::remove(folder + "/Gone.so"); // now missing for every load
    return ReadAll(path);
}

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

std::vector<uint8_t> PatchedTemplate(uint8_t mode, const uint8_t* data, std::size_t size) {
    std::vector<uint8_t> file = templateFile;
    if ((mode & kCutMode) && size >= 4) {
        file.resize(U32(data) % (file.size() + 1));
        data += 4;
        size -= 4;
    }
    while (size >= 5 && !file.empty()) {
        const std::size_t at = U32(data) % file.size();
        const std::size_t count = std::min<std::size_t>(data[4], size - 5);
        for (std::size_t i = 0; i < count && at + i < file.size(); ++i) {
            file[at + i] = data[5 + i];
        }
        data += 5 + count;
        size -= 5 + count;
    }
    return file;
}

void WriteMemoryFile(const uint8_t* data, std::size_t size) {
    if (ftruncate(memoryFile, 0) != 0 ||
        (size > 0 && pwrite(memoryFile, data, size, 0) != ssize_t(size))) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/vantreel-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        std::abort();
    }
    // Our plug-ins are found through the search path; the machine's settings stay out.
    setenv("VST_PATH", kPluginDir, 1);
    setenv("XDG_CONFIG_HOME", folder, 1);
    templateFile = MakeTemplate(folder);
    if (templateFile.empty()) {
        std::abort();
    }
    std::filesystem::remove_all(folder);
    engine = new AudioEngine(OutputMode::CallerDriven);
    engine->reporter.SetHandler([](const UserMessage&) {}); // thousands of loads: stay quiet
    memoryFile = memfd_create("vantreel-fuzz", 0);
    if (memoryFile < 0) {
        std::abort();
    }
    memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t mode = data[0];
    if (mode & kPatchMode) {
        const std::vector<uint8_t> file = PatchedTemplate(mode, data + 1, size - 1);
        WriteMemoryFile(file.data(), file.size());
    } else {
        WriteMemoryFile(data + 1, size - 1);
    }
    engine->LoadProject(memoryPath.c_str());
    static int16_t buffer[2 * kCallbackFrames];
    engine->editor.seqCursorLine = data[size - 1] * 128;
    engine->PlaySong();
    engine->StreamCallback(buffer, false);
    engine->editor.currentSlot = data[size - 1] % kSlotCount;
    engine->editor.currentPattern = data[size - 1] % kPatternsPerSlot;
    engine->PlayPattern();
    engine->StreamCallback(buffer, false);
    engine->StopPlayback();
    return 0;
}
