// The probe plug-in must record faithfully, or every test built on it lies. These
// drive the built VantreelProbe.so directly and compare its log with what was done;
// the last group checks the broken libraries the loader tests rely on.

#include "plugins/VstAbi.h"
#include "testplugins/probe/ProbeLog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vantreel::probe;

constexpr const char* kProbePath = VANTREEL_PLUGIN_OUTPUT_DIR "/VantreelProbe.so";
constexpr const char* kBadDir = VANTREEL_BINARY_DIR "/testplugins-bad";
constexpr VstIntPtr kHostRate = 48000;
constexpr VstIntPtr kHostBlock = 512;
constexpr VstIntPtr kHostVersion = 2400;

struct HostSeen {
    AEffect* effect;
    VstInt32 opcode;
};
std::vector<HostSeen> hostSeen;

VstIntPtr TestHost(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    hostSeen.push_back({effect, opcode});
    switch (opcode) {
    case audioMasterVersion:
        return kHostVersion;
    case audioMasterGetSampleRate:
        return kHostRate;
    case audioMasterGetBlockSize:
        return kHostBlock;
    case audioMasterGetVendorString:
        std::strcpy(static_cast<char*>(ptr), "TestVendor");
        return 1;
    default:
        return 0;
    }
}

void* Library(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

const ProbeApi& Api() {
    static ProbeApi api = ProbeApi::Open(kProbePath);
    return api;
}

class Probe {
public:
    Probe() {
        auto main =
            reinterpret_cast<VstPluginMainProc>(dlsym(Library(kProbePath), "VSTPluginMain"));
        effect = main != nullptr ? main(&TestHost) : nullptr;
        log = effect != nullptr ? Api().log(effect) : nullptr;
    }
    ~Probe() {
        if (effect != nullptr) {
            Dispatch(effClose);
        }
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    // Closes now; the log stays readable.
    void Close() {
        Dispatch(effClose);
        effect = nullptr;
    }

    AEffect* effect = nullptr;
    ProbeLog* log = nullptr;
};

VstMidiEvent Midi(int offset, uint8_t status, uint8_t data1, uint8_t data2) {
    VstMidiEvent e{};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent) - 8;
    e.deltaFrames = offset;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    return e;
}

struct EventList {
    VstInt32 numEvents = 0;
    VstIntPtr reserved = 0;
    VstEvent* events[4] = {};
};

TEST(ProbePlugin, LibraryExportsTheLogFunctionsAndAnInstanceWithAnEditor) {
    ASSERT_TRUE(Api().Ok());
    Probe probe;
    ASSERT_NE(probe.effect, nullptr);
    ASSERT_NE(probe.log, nullptr);
    EXPECT_EQ(probe.effect->magic, kEffectMagic);
    EXPECT_EQ(probe.effect->uniqueID, kProbeUniqueId);
    EXPECT_EQ(probe.effect->numPrograms, kProbeProgramCount);
    EXPECT_EQ(probe.effect->numParams, kProbeParameterCount);
    EXPECT_TRUE(probe.effect->flags & effFlagsProgramChunks);
    EXPECT_TRUE(probe.effect->flags & effFlagsCanReplacing);
    ASSERT_TRUE(probe.effect->flags & effFlagsHasEditor);

    ERect* rect = nullptr;
    EXPECT_EQ(probe.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, kProbeEditorWidth);
    EXPECT_EQ(rect->bottom - rect->top, kProbeEditorHeight);
    int parentWindow = 0;
    EXPECT_EQ(probe.Dispatch(effEditOpen, 0, 0, &parentWindow), 1);
    EXPECT_EQ(probe.log->DispatchesOf(effEditOpen).at(0).ptr, &parentWindow);

    // Something that is not a probe instance has no log.
    AEffect stranger{};
    EXPECT_EQ(Api().log(&stranger), nullptr);
    EXPECT_EQ(Api().log(nullptr), nullptr);
}

TEST(ProbePlugin, EntryPointAsksTheHostWithoutAnInstance) {
    hostSeen.clear();
    Probe probe;
    std::vector<HostCallRecord> calls = probe.log->hostCalls.Snapshot();
    ASSERT_EQ(calls.size(), 3u);
    const std::pair<VstInt32, VstIntPtr> expected[] = {{audioMasterVersion, kHostVersion},
                                                       {audioMasterGetSampleRate, kHostRate},
                                                       {audioMasterGetBlockSize, kHostBlock}};
    for (size_t n = 0; n < 3; ++n) {
        EXPECT_FALSE(calls[n].hasInstance);
        EXPECT_EQ(calls[n].opcode, expected[n].first);
        EXPECT_EQ(calls[n].result, expected[n].second);
        EXPECT_EQ(hostSeen.at(n).effect, nullptr);
    }
}

TEST(ProbePlugin, DispatcherCallsAreRecordedInOrderWithArgumentsTextsAndAnswers) {
    Probe probe;
    ProbeLog* log = probe.log;
    probe.Dispatch(effOpen);
    probe.Dispatch(effSetProgram, 0, 2);
    probe.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    probe.Dispatch(effSetBlockSize, 0, 256);
    probe.Dispatch(effMainsChanged, 0, 1);
    char text[64] = {};
    probe.Dispatch(effGetParamName, 2, 0, text);
    char rename[] = "Renamed";
    probe.Dispatch(effSetProgramName, 0, 0, rename);
    EXPECT_EQ(probe.Dispatch(effGetProgram), 2);

    std::vector<DispatchRecord> calls = log->dispatches.Snapshot();
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(log->DispatchOpcodes(),
              (std::vector<VstInt32>{effOpen, effSetProgram, effSetSampleRate, effSetBlockSize,
                                     effMainsChanged, effGetParamName, effSetProgramName,
                                     effGetProgram}));
    EXPECT_EQ(calls[1].value, 2);
    EXPECT_FALSE(calls[1].hasPtr);
    EXPECT_EQ(calls[2].opt, 44100.0f);
    EXPECT_EQ(calls[3].value, 256);
    EXPECT_EQ(calls[4].value, 1);
    EXPECT_EQ(calls[5].index, 2);
    EXPECT_TRUE(calls[5].hasPtr);
    EXPECT_STREQ(calls[5].text, "Beta");
    EXPECT_STREQ(calls[6].text, "Renamed");
    EXPECT_EQ(calls[7].result, 2);

    probe.Dispatch(effMainsChanged, 0, 0);
    probe.Close();
    std::vector<VstInt32> opcodes = log->DispatchOpcodes();
    ASSERT_EQ(opcodes.size(), 10u);
    EXPECT_EQ(opcodes[8], effMainsChanged);
    EXPECT_EQ(log->dispatches.At(8).value, 0);
    EXPECT_EQ(opcodes[9], effClose);
}

TEST(ProbePlugin, EventsAreRecordedWithTheirBlockOffsetAndBytes) {
    Probe probe;
    VstMidiEvent on = Midi(17, 0x91, 60, 100);
    VstEvent sysex{};
    sysex.type = 6;
    sysex.deltaFrames = 3;
    EventList first;
    first.numEvents = 2;
    first.events[0] = reinterpret_cast<VstEvent*>(&on);
    first.events[1] = &sysex;
    probe.Dispatch(effProcessEvents, 0, 0, &first);
    float left[64], right[64];
    float* outputs[2] = {left, right};
    probe.effect->processReplacing(probe.effect, nullptr, outputs, 64);
    probe.effect->process(probe.effect, nullptr, outputs, 64);
    VstMidiEvent off = Midi(255, 0x81, 60, 0);
    EventList second;
    second.numEvents = 1;
    second.events[0] = reinterpret_cast<VstEvent*>(&off);
    probe.Dispatch(effProcessEvents, 0, 0, &second);

    std::vector<EventRecord> events = probe.log->events.Snapshot();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].block, 0);
    EXPECT_EQ(events[0].type, kVstMidiType);
    EXPECT_EQ(events[0].deltaFrames, 17);
    EXPECT_EQ(events[0].midiData[0], 0x91);
    EXPECT_EQ(events[0].midiData[1], 60);
    EXPECT_EQ(events[0].midiData[2], 100);
    EXPECT_EQ(events[1].type, 6);
    EXPECT_EQ(events[1].deltaFrames, 3);
    EXPECT_EQ(events[2].block, 2);
    EXPECT_EQ(events[2].deltaFrames, 255);
    EXPECT_EQ(events[2].midiData[0], 0x81);

    std::vector<ProcessRecord> blocks = probe.log->processCalls.Snapshot();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_TRUE(blocks[0].replacing);
    EXPECT_FALSE(blocks[1].replacing);
    EXPECT_EQ(blocks[1].block, 1);
    EXPECT_EQ(blocks[1].frames, 64);
}

TEST(ProbePlugin, LevelParameterIsTheOutputAndEveryParameterCallIsRecorded) {
    Probe probe;
    float left[32], right[32];
    float* outputs[2] = {left, right};
    std::fill(left, left + 32, 0.75f);
    std::fill(right, right + 32, 0.75f);
    probe.effect->processReplacing(probe.effect, nullptr, outputs, 32);
    EXPECT_EQ(left[31], 0.0f) << "a fresh probe is silent";

    probe.effect->setParameter(probe.effect, kProbeLevelParameter, 0.25f);
    EXPECT_EQ(probe.effect->getParameter(probe.effect, kProbeLevelParameter), 0.25f);
    probe.effect->processReplacing(probe.effect, nullptr, outputs, 32);
    for (int n = 0; n < 32; ++n) {
        EXPECT_EQ(left[n], 0.25f);
        EXPECT_EQ(right[n], 0.25f);
    }
    probe.effect->process(probe.effect, nullptr, outputs, 32);
    EXPECT_EQ(left[0], 0.5f);
    EXPECT_EQ(right[31], 0.5f);

    // Values belong to the program they were set in.
    probe.Dispatch(effSetProgram, 0, 1);
    EXPECT_EQ(probe.effect->getParameter(probe.effect, kProbeLevelParameter), 0.0f);
    float other = probe.effect->getParameter(probe.effect, 1);
    probe.Dispatch(effSetProgram, 0, 0);
    EXPECT_NE(probe.effect->getParameter(probe.effect, 1), other);

    std::vector<ParameterRecord> calls = probe.log->parameters.Snapshot();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_TRUE(calls[0].isSet);
    EXPECT_EQ(calls[0].index, kProbeLevelParameter);
    EXPECT_EQ(calls[0].value, 0.25f);
    EXPECT_FALSE(calls[1].isSet);
    EXPECT_EQ(calls[1].value, 0.25f);
    EXPECT_EQ(calls[3].index, 1);
    EXPECT_EQ(calls[3].value, other);
}

TEST(ProbePlugin, InstancesKeepSeparateLogsAndClearingRestartsTheBlockCount) {
    Probe a, b;
    ASSERT_NE(a.log, b.log);
    float left[8], right[8];
    float* outputs[2] = {left, right};
    a.effect->processReplacing(a.effect, nullptr, outputs, 8);
    a.Dispatch(effOpen);
    EXPECT_EQ(a.log->processCount.load(), 1);
    EXPECT_EQ(b.log->processCount.load(), 0);
    EXPECT_EQ(b.log->dispatches.Size(), 0);

    Api().clearLog(a.effect);
    EXPECT_EQ(a.log->dispatches.Size(), 0);
    EXPECT_EQ(a.log->processCalls.Size(), 0);
    EXPECT_EQ(a.log->hostCalls.Size(), 0);
    a.effect->process(a.effect, nullptr, outputs, 8);
    EXPECT_EQ(a.log->processCalls.At(0).block, 0);
    EXPECT_EQ(b.log->hostCalls.Size(), 3);
}

TEST(ProbePlugin, HostCanBeAskedOnDemandWithTheProbesOwnInstance) {
    Probe probe;
    hostSeen.clear();
    char vendor[64] = {};
    EXPECT_EQ(Api().callHost(probe.effect, audioMasterGetVendorString, 0, 0, vendor, 0.0f), 1);
    char capability[] = "sendVstEvents";
    Api().callHost(probe.effect, audioMasterCanDo, 0, 0, capability, 0.0f);
    EXPECT_EQ(Api().callHost(probe.effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f),
              kHostRate);

    ASSERT_EQ(hostSeen.size(), 3u);
    EXPECT_EQ(hostSeen[0].effect, probe.effect);
    std::vector<HostCallRecord> calls = probe.log->hostCalls.Snapshot();
    ASSERT_EQ(calls.size(), 6u); // three from the entry point first
    EXPECT_TRUE(calls[3].hasInstance);
    EXPECT_EQ(calls[3].opcode, audioMasterGetVendorString);
    EXPECT_STREQ(calls[3].text, "TestVendor");
    EXPECT_STREQ(calls[4].text, "sendVstEvents");
    EXPECT_EQ(calls[5].result, kHostRate);
}

TEST(ProbePlugin, ChunkCarriesProgramNamesAndAWrongSizedOneIsIgnored) {
    Probe source, target;
    source.Dispatch(effSetProgram, 0, 1);
    char name[] = "From The Chunk";
    source.Dispatch(effSetProgramName, 0, 0, name);
    void* data = nullptr;
    VstIntPtr size = source.Dispatch(effGetChunk, 0, 0, &data);
    ASSERT_EQ(size, kProbeChunkSize);
    std::vector<char> chunk(static_cast<char*>(data), static_cast<char*>(data) + size);

    EXPECT_EQ(target.Dispatch(effSetChunk, 0, size - 1, chunk.data()), 0);
    EXPECT_EQ(target.Dispatch(effSetChunk, 0, size, chunk.data()), 1);
    char got[64] = {};
    EXPECT_EQ(target.Dispatch(effGetProgramNameIndexed, 1, 0, got), 1);
    EXPECT_STREQ(got, "From The Chunk");
    std::vector<DispatchRecord> sets = target.log->DispatchesOf(effSetChunk);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[1].value, size);
    EXPECT_EQ(sets[0].result, 0);
}

TEST(ProbeConcurrency, AudioAndUserInterfaceThreadsCanRecordWhileATestReads) {
    Probe probe;
    constexpr int kBlocks = 2000;
    std::thread audio([&] {
        float left[16], right[16];
        float* outputs[2] = {left, right};
        VstMidiEvent note = Midi(5, 0x90, 60, 100);
        EventList list;
        list.numEvents = 1;
        list.events[0] = reinterpret_cast<VstEvent*>(&note);
        for (int n = 0; n < kBlocks; ++n) {
            probe.Dispatch(effProcessEvents, 0, 0, &list);
            probe.effect->processReplacing(probe.effect, nullptr, outputs, 16);
        }
    });
    int seen = 0;
    for (int n = 0; n < kBlocks; ++n) {
        probe.effect->setParameter(probe.effect, 1, n / float(kBlocks));
        probe.Dispatch(effGetProgram);
        seen = std::max(seen, probe.log->events.Size());
    }
    audio.join();
    EXPECT_EQ(probe.log->processCalls.Size(), kBlocks);
    EXPECT_EQ(probe.log->events.Size(), kBlocks);
    EXPECT_EQ(probe.log->dispatches.Size(), 2 * kBlocks);
    EXPECT_EQ(probe.log->parameters.Size(), kBlocks);
    EXPECT_EQ(probe.log->events.At(kBlocks - 1).block, kBlocks - 1);
    EXPECT_LE(seen, kBlocks);
}

// The libraries loader tests use: each must be broken in exactly its one way.
TEST(BadTestLibraries, EachIsBrokenInItsOwnWayAndNoneSitsInThePluginFolder) {
    auto open = [](const char* name) {
        return Library((std::string(kBadDir) + "/" + name).c_str());
    };
    auto entry = [](void* library, const char* symbol) {
        return reinterpret_cast<VstPluginMainProc>(dlsym(library, symbol));
    };

    void* noEntry = open("NoEntryPoint.so");
    ASSERT_NE(noEntry, nullptr) << dlerror();
    EXPECT_EQ(entry(noEntry, "main"), nullptr);
    EXPECT_EQ(entry(noEntry, "VSTPluginMain"), nullptr);

    void* nullInstance = open("NullInstance.so");
    ASSERT_NE(nullInstance, nullptr);
    ASSERT_NE(entry(nullInstance, "main"), nullptr);
    EXPECT_EQ(entry(nullInstance, "main")(&TestHost), nullptr);

    void* wrongMagic = open("WrongMagic.so");
    ASSERT_NE(wrongMagic, nullptr);
    ASSERT_NE(entry(wrongMagic, "main"), nullptr);
    AEffect* bad = entry(wrongMagic, "main")(&TestHost);
    ASSERT_NE(bad, nullptr);
    EXPECT_NE(bad->magic, kEffectMagic);
    auto calls = reinterpret_cast<int (*)()>(dlsym(wrongMagic, "VantreelWrongMagicCalls"));
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls(), 0);

    void* newNameOnly = open("PluginMainOnly.so");
    ASSERT_NE(newNameOnly, nullptr);
    EXPECT_EQ(entry(newNameOnly, "main"), nullptr);
    ASSERT_NE(entry(newNameOnly, "VSTPluginMain"), nullptr);
    AEffect* good = entry(newNameOnly, "VSTPluginMain")(&TestHost);
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->magic, kEffectMagic);
    good->dispatcher(good, effClose, 0, 0, nullptr, 0.0f);

    for (const char* name :
         {"NoEntryPoint.so", "NullInstance.so", "WrongMagic.so", "PluginMainOnly.so"}) {
        EXPECT_FALSE(std::filesystem::exists(std::string(VANTREEL_PLUGIN_OUTPUT_DIR) + "/" + name))
            << name;
    }
}

} // namespace
