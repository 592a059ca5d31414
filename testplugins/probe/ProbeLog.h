#pragma once
// What the probe plug-in saw: every call a host made into one probe instance and
// every answer that instance got from the host. Tests open the probe library, find
// its exported functions through ProbeApi and read an instance's log:
//
//     vantreel::probe::ProbeApi probe = vantreel::probe::ProbeApi::Open(path);
//     vantreel::probe::ProbeLog* log = probe.log(effect);
//     for (const auto& call : log->dispatches.Snapshot()) ...
//
// A log outlives its instance's effClose, so the close itself can be checked, but
// only until a few dozen further probe instances have been closed after it.

#include "plugins/VstAbi.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <dlfcn.h>
#include <vector>

namespace vantreel::probe {

constexpr VstInt32 kProbeUniqueId = 0x56745072; // 'VtPr'
constexpr int kProbeProgramCount = 3;
constexpr int kProbeParameterCount = 4;
constexpr int kProbeLevelParameter = 0; // the constant both outputs carry
constexpr int kProbeEditorWidth = 400;
constexpr int kProbeEditorHeight = 300;
// The size the editor asks the host for on its first idle call.
constexpr int kProbeEditorGrownWidth = 480;
constexpr int kProbeEditorGrownHeight = 360;
constexpr int kProbeChunkSize = 80; // magic, version and the three program names
constexpr int kProbeTextLength = 64;

// One dispatcher call. `text` is the text handed in (effSetProgramName, effCanDo) or
// the text the probe wrote back (the name, label, display and string opcodes).
struct DispatchRecord {
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    bool hasPtr = false;
    const void* ptr = nullptr;
    float opt = 0.0f;
    VstIntPtr result = 0;
    char text[kProbeTextLength] = {};
};

// setParameter (isSet) with the value given, or getParameter with the value returned.
struct ParameterRecord {
    bool isSet = false;
    VstInt32 index = 0;
    float value = 0.0f;
};

// One event of an effProcessEvents list; `block` counts the process calls before it.
struct EventRecord {
    VstInt32 block = 0;
    VstInt32 type = 0;
    VstInt32 deltaFrames = 0;
    uint8_t midiData[4] = {};
};

struct ProcessRecord {
    VstInt32 block = 0;
    VstInt32 frames = 0;
    bool replacing = false;
};

// One call the probe made into the host. Entry point calls have no instance. `text`
// holds what the host wrote for the vendor and product strings, or the asked
// capability for audioMasterCanDo.
struct HostCallRecord {
    bool hasInstance = false;
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    bool hasPtr = false;
    float opt = 0.0f;
    VstIntPtr result = 0;
    char text[kProbeTextLength] = {};
};

// What audioMasterGetTime answered at the start of one process call; `answered` is
// false when the host gave no record.
struct TimeRecord {
    VstInt32 block = 0;
    bool answered = false;
    VstTimeInfo info = {};
};

// An append-only list any thread may add to without locking. Readers on other
// threads see whole records only.
template <typename Record, int Capacity> class RecordList {
public:
    void Add(const Record& record) {
        int slot = reserved.fetch_add(1, std::memory_order_relaxed);
        if (slot >= Capacity) {
            return; // counted in Dropped()
        }
        records[slot] = record;
        ready[slot].store(true, std::memory_order_release);
    }

    // The records written so far, oldest first.
    int Size() const {
        int limit = std::min(reserved.load(std::memory_order_acquire), Capacity);
        int n = 0;
        while (n < limit && ready[n].load(std::memory_order_acquire)) {
            ++n;
        }
        return n;
    }
    const Record& At(int n) const { return records[n]; } // n below Size()
    std::vector<Record> Snapshot() const {
        return std::vector<Record>(records.begin(), records.begin() + Size());
    }
    int Dropped() const { return std::max(reserved.load(std::memory_order_relaxed) - Capacity, 0); }

    // Only while no other thread calls the plug-in.
    void Clear() {
        int used = std::min(reserved.load(std::memory_order_relaxed), Capacity);
        for (int n = 0; n < used; ++n) {
            ready[n].store(false, std::memory_order_relaxed);
        }
        reserved.store(0, std::memory_order_release);
    }

private:
    std::atomic<int> reserved{0};
    std::array<std::atomic<bool>, Capacity> ready{};
    std::array<Record, Capacity> records{};
};

struct ProbeLog {
    RecordList<DispatchRecord, 4096> dispatches;
    RecordList<ParameterRecord, 4096> parameters;
    RecordList<EventRecord, 4096> events;
    RecordList<ProcessRecord, 4096> processCalls;
    RecordList<HostCallRecord, 512> hostCalls;
    RecordList<TimeRecord, 4096> times;
    std::atomic<int> processCount{0}; // process and processReplacing calls so far
    // The X window the editor made inside the host's window at its last opening; 0
    // when it could not make one (no display, or a window the display does not know).
    std::atomic<unsigned long> editorWindow{0};

    // The dispatcher calls with one opcode, oldest first.
    std::vector<DispatchRecord> DispatchesOf(VstInt32 opcode) const {
        std::vector<DispatchRecord> found;
        for (const DispatchRecord& call : dispatches.Snapshot()) {
            if (call.opcode == opcode) {
                found.push_back(call);
            }
        }
        return found;
    }
    std::vector<VstInt32> DispatchOpcodes() const {
        std::vector<VstInt32> opcodes;
        for (const DispatchRecord& call : dispatches.Snapshot()) {
            opcodes.push_back(call.opcode);
        }
        return opcodes;
    }

    // Empties every list and restarts the block count. Only while no other thread
    // calls the plug-in.
    void Clear() {
        dispatches.Clear();
        parameters.Clear();
        events.Clear();
        processCalls.Clear();
        hostCalls.Clear();
        times.Clear();
        processCount.store(0, std::memory_order_relaxed);
    }
};

} // namespace vantreel::probe

// Exported by the probe library. Each takes an instance the library created.
extern "C" {
// The instance's log; null when `effect` is not a probe instance.
__attribute__((visibility("default"))) vantreel::probe::ProbeLog* VantreelProbeLog(AEffect* effect);
__attribute__((visibility("default"))) void VantreelProbeClearLog(AEffect* effect);
// Calls the host callback the instance was created with, passing the instance, and
// records the call and its answer in the log like the probe's own calls.
__attribute__((visibility("default"))) VstIntPtr
VantreelProbeCallHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                      float opt);
}

namespace vantreel::probe {

using ProbeLogProc = ProbeLog* (*)(AEffect*);
using ProbeClearLogProc = void (*)(AEffect*);
using ProbeCallHostProc = VstIntPtr (*)(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float);

// The probe library's exported functions, found at run time.
struct ProbeApi {
    ProbeLogProc log = nullptr;
    ProbeClearLogProc clearLog = nullptr;
    ProbeCallHostProc callHost = nullptr;

    bool Ok() const { return log != nullptr && clearLog != nullptr && callHost != nullptr; }

    // From a handle dlopen returned for the probe library.
    static ProbeApi From(void* library) {
        ProbeApi api;
        if (library != nullptr) {
            api.log = reinterpret_cast<ProbeLogProc>(dlsym(library, "VantreelProbeLog"));
            api.clearLog =
                reinterpret_cast<ProbeClearLogProc>(dlsym(library, "VantreelProbeClearLog"));
            api.callHost =
                reinterpret_cast<ProbeCallHostProc>(dlsym(library, "VantreelProbeCallHost"));
        }
        return api;
    }
    // Opens the library by its path. A library a host already loaded from the same
    // path is the same library, so its instances' logs are reachable this way. The
    // handle is kept open: plug-in libraries are never unloaded.
    static ProbeApi Open(const char* path) { return From(dlopen(path, RTLD_NOW | RTLD_LOCAL)); }
};

} // namespace vantreel::probe
