#pragma once
// How the tests steer the misbehaving plug-in and read what it saw. The library's
// entry point copies the configuration set last into each new instance, so a test
// sets it, loads the plug-in into a slot, and reads the instance's counters.

#include "plugins/VstAbi.h"

#include <dlfcn.h>

#include <cstdint>

namespace vantreel::misbehaving {

struct Config {
    VstInt32 numInputs = 0;
    VstInt32 numOutputs = 2;
    VstInt32 flags = effFlagsCanReplacing;
    bool withReplacing = true; // processReplacing set
    bool withProcess = true;   // the accumulating process set
    VstInt32 numPrograms = 1;
    VstInt32 numParams = 0;
    float level = 0.25f;   // amplitude of the steady tone on outputs 1 and 2
    float auxLevel = 0.5f; // what outputs 3 and up receive
    int burstBlock = -1;   // the first of `burstBlocks` blocks of garbage, or -1
    int burstBlocks = 2;
    float burstValue = 0.0f;      // the garbage: NaN, an infinity, 1e30...
    int millisecondsPerBlock = 0; // time each block takes
    bool idleThread = false;      // ask the host for idle from a thread of its own
    bool hasEditor = false;
    ERect editorRect{0, 0, 300, 400};
};

// What one instance saw; the counters are atomics because several threads call in.
struct Counters {
    int blocks = 0;             // processing calls
    int nonSilentAuxInputs = 0; // blocks in which an input from 3 on was not silent
    int dispatchesAfterClose = 0;
    int dispatchesOnOwnThread = 0; // dispatcher calls made on its own idle thread
    int idleCalls = 0;             // effIdle
    int editIdleCalls = 0;         // effEditIdle
    int hostRequests = 0;          // idle requests its thread made
    int setProgramCalls = 0;
    bool closed = false;
};

} // namespace vantreel::misbehaving

extern "C" {
__attribute__((visibility("default"))) void
VantreelMisbehavingConfigure(const vantreel::misbehaving::Config* config);
__attribute__((visibility("default"))) vantreel::misbehaving::Counters
VantreelMisbehavingCounters(const AEffect* effect);
// Stops and joins every idle thread the library started.
__attribute__((visibility("default"))) void VantreelMisbehavingStopThreads();
}

namespace vantreel::misbehaving {

constexpr const char* kLibraryName = "Misbehaving.so";

// The library's exported functions, found at run time in the library the host loaded.
struct Api {
    decltype(&VantreelMisbehavingConfigure) configure = nullptr;
    decltype(&VantreelMisbehavingCounters) counters = nullptr;
    decltype(&VantreelMisbehavingStopThreads) stopThreads = nullptr;

    bool Ok() const { return configure && counters && stopThreads; }

    static Api Open(const char* path) {
        Api api;
        void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (library != nullptr) {
            api.configure = reinterpret_cast<decltype(configure)>(
                dlsym(library, "VantreelMisbehavingConfigure"));
            api.counters =
                reinterpret_cast<decltype(counters)>(dlsym(library, "VantreelMisbehavingCounters"));
            api.stopThreads = reinterpret_cast<decltype(stopThreads)>(
                dlsym(library, "VantreelMisbehavingStopThreads"));
        }
        return api;
    }
};

} // namespace vantreel::misbehaving
