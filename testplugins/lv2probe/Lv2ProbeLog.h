#pragma once
// What the LV2 probe saw: the MIDI events of each run with their frame times, the
// options it was given, and the worker responses with the block they arrived
// before. Tests open the probe library (the same library the host loaded, since the
// path is the same) and read an instance's log through the exported functions:
//
//     Lv2ProbeApi probe = Lv2ProbeApi::Open(path);
//     const Lv2ProbeLog* log = probe.log(probe.count() - 1); // the newest instance
//
// Logs are never freed, so a test may read one after its instance is gone.

#include "testplugins/probe/ProbeLog.h"

#include <atomic>
#include <cstdint>
#include <dlfcn.h>

namespace vantreel::lv2probe {

constexpr const char* kProbeUri = "https://vantreel.example/lv2/probe";
// The same probe under a URI too long for a project file's 64-byte name field.
constexpr const char* kLongProbeUri =
    "https://vantreel.example/lv2/a-probe-whose-uri-is-too-long-for-the-name-field";
// Described only, never built: it requires a feature no host offers.
constexpr const char* kNeedyProbeUri = "https://vantreel.example/lv2/needy-probe";
constexpr const char* kUnofferedFeature = "https://vantreel.example/lv2/no-host-offers-this";
constexpr const char* kBundleName = "vantreel-probe.lv2";
constexpr const char* kLibraryName = "VantreelLv2Probe.so";
constexpr const char* kMoodKey = "https://vantreel.example/lv2/probe#mood";
constexpr const char* kSampleKey = "https://vantreel.example/lv2/probe#sample";
constexpr int32_t kDefaultMood = 7;
constexpr int kMaxPathLength = 512;
// Port indexes, as probe.ttl declares them.
constexpr uint32_t kEventsPort = 0;
constexpr uint32_t kLeftPort = 1;
constexpr uint32_t kRightPort = 2;
constexpr uint32_t kLevelPort = 3;  // both outputs carry this constant
constexpr uint32_t kModePort = 4;   // integer 0..4
constexpr uint32_t kBypassPort = 5; // toggled
constexpr uint32_t kCutoffPort = 6; // 20..20000 Hz

struct Lv2EventRecord {
    int32_t block = 0;
    int64_t frame = 0;
    uint32_t size = 0;
    uint8_t bytes[3] = {};
};

struct Lv2ResponseRecord {
    int32_t block = 0; // the run it was delivered before
    uint8_t note = 0;
};

struct Lv2ProbeLog {
    probe::RecordList<Lv2EventRecord, 4096> events;
    probe::RecordList<Lv2ResponseRecord, 1024> responses;
    std::atomic<int32_t> runs{0};
    std::atomic<int32_t> lastFrames{0};
    std::atomic<int32_t> activations{0};
    std::atomic<int32_t> nominalBlockLength{0};
    std::atomic<int32_t> maxBlockLength{0};
    std::atomic<float> sampleRate{0.0f};
    std::atomic<int32_t> restores{0};
    std::atomic<bool> freed{false};
};

} // namespace vantreel::lv2probe

extern "C" {
__attribute__((visibility("default"))) int VantreelLv2ProbeCount();
// The log of the n-th instance the library made (0 first); null past the last.
__attribute__((visibility("default"))) vantreel::lv2probe::Lv2ProbeLog* VantreelLv2ProbeLog(int n);
}

namespace vantreel::lv2probe {

struct Lv2ProbeApi {
    int (*count)() = nullptr;
    Lv2ProbeLog* (*log)(int) = nullptr;

    bool Ok() const { return count != nullptr && log != nullptr; }
    Lv2ProbeLog* Newest() const { return count() > 0 ? log(count() - 1) : nullptr; }

    static Lv2ProbeApi Open(const char* path) {
        Lv2ProbeApi api;
        if (void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
            api.count = reinterpret_cast<int (*)()>(dlsym(library, "VantreelLv2ProbeCount"));
            api.log =
                reinterpret_cast<Lv2ProbeLog* (*)(int)>(dlsym(library, "VantreelLv2ProbeLog"));
        }
        return api;
    }
};

} // namespace vantreel::lv2probe
