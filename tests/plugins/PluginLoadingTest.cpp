// Loading and closing plug-ins in slots, with the probe plug-in watching every call and
// with libraries that are broken in each way a load can fail.

#include "PluginTestSupport.h"
#include "engine/PluginCommands.h"
#include "plugins/PluginLibrary.h"

#include <dlfcn.h>

namespace vantreel::test {
namespace {

using probe::DispatchRecord;
using probe::HostCallRecord;
using probe::ProbeLog;

using PluginLoadingTest = PluginHostTest;

TEST_F(PluginLoadingTest, LoadStartsTheInstanceInOrderAndFlagsTheSlotLast) {
    engine->editor.currentParameter = 3;
    engine->song.settings.sampleRate = 48000;
    ASSERT_TRUE(engine->LoadPlugin(2, kProbeName)) << engine->LastPluginError();

    ProbeLog* log = LogOf(2);
    ASSERT_NE(log, nullptr);
    const std::vector<DispatchRecord> calls = log->dispatches.Snapshot();
    ASSERT_EQ(log->DispatchOpcodes(),
              (std::vector<VstInt32>{effOpen, effSetProgram, effSetSampleRate, effSetBlockSize,
                                     effMainsChanged}));
    EXPECT_EQ(calls[1].value, 0);      // program 0
    EXPECT_EQ(calls[2].opt, 48000.0f); // the engine's rate, in the float argument
    EXPECT_EQ(calls[3].value, 256);    // block size
    EXPECT_EQ(calls[4].value, 1);      // resume
    EXPECT_TRUE(engine->song.slots[2].IsInstanced());
    EXPECT_STREQ(engine->song.slots[2].dllName, kProbeName);
    EXPECT_EQ(SlotName(*engine, 2), kProbeName);
    EXPECT_EQ(engine->editor.currentParameter, 0);
    EXPECT_EQ(engine->LastPluginError(), "");
}

TEST_F(PluginLoadingTest, EntryPointCallsWithoutAnInstanceAreAnswered) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    ProbeLog* log = LogOf(0);
    ASSERT_NE(log, nullptr);
    const std::vector<HostCallRecord> calls = log->hostCalls.Snapshot();
    ASSERT_EQ(calls.size(), 3u);
    for (const HostCallRecord& call : calls) {
        EXPECT_FALSE(call.hasInstance);
    }
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(calls[0].result, 7);
    EXPECT_EQ(calls[1].opcode, audioMasterGetSampleRate);
    EXPECT_EQ(calls[1].result, 44100);
    EXPECT_EQ(calls[2].opcode, audioMasterGetBlockSize);
    EXPECT_EQ(calls[2].result, 256);
}

TEST_F(PluginLoadingTest, UnloadSuspendsThenClosesAndKeepsTheName) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    ProbeLog* log = LogOf(0);
    ASSERT_NE(log, nullptr);
    log->Clear();
    engine->editor.currentParameter = 2;

    engine->UnloadPlugin(0);

    const std::vector<DispatchRecord> calls = log->dispatches.Snapshot();
    ASSERT_EQ(log->DispatchOpcodes(), (std::vector<VstInt32>{effMainsChanged, effClose}));
    EXPECT_EQ(calls[0].value, 0); // suspend
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
    EXPECT_EQ(SlotName(*engine, 0), "Not instanced");
    EXPECT_STREQ(engine->song.slots[0].dllName, kProbeName);
    EXPECT_EQ(engine->editor.currentParameter, 0);

    engine->UnloadPlugin(0); // an empty slot: nothing happens
    EXPECT_EQ(log->dispatches.Size(), 2);
}

// The windows reach instances through these two: a closed one must never come back.
TEST_F(PluginLoadingTest, OnlyALiveInstanceIsHandedOut) {
    engine->editor.currentSlot = 3;
    EXPECT_EQ(engine->CurrentEffect(), nullptr);
    ASSERT_TRUE(engine->LoadPlugin(3, kProbeName));
    AEffect* live = engine->LivePlugin(3);
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(engine->CurrentEffect(), live);

    engine->UnloadPlugin(3);
    EXPECT_EQ(engine->LivePlugin(3), nullptr);
    EXPECT_EQ(engine->CurrentEffect(), nullptr);

    engine->editor.currentSlot = 40; // a damaged index names no slot
    EXPECT_EQ(engine->CurrentEffect(), nullptr);
    EXPECT_EQ(engine->LivePlugin(-1), nullptr);
    EXPECT_EQ(engine->LivePlugin(kSlotCount), nullptr);
}

TEST_F(PluginLoadingTest, SameLibraryInTwoSlotsGivesIndependentInstances) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    ASSERT_TRUE(engine->LoadPlugin(1, kProbeName));
    ASSERT_NE(engine->effect[0], engine->effect[1]);
    ProbeLog* first = LogOf(0);
    ProbeLog* second = LogOf(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second);

    // Different levels on the two: the mix is their sum, so both really play.
    engine->effect[0]->setParameter(engine->effect[0], probe::kProbeLevelParameter, 0.25f);
    engine->effect[1]->setParameter(engine->effect[1], probe::kProbeLevelParameter, 0.125f);
    EXPECT_EQ(Render(1)[0], 12000);

    engine->UnloadPlugin(0);
    EXPECT_EQ(first->DispatchOpcodes().back(), effClose);
    const int before = second->processCount;
    EXPECT_EQ(Render(1)[0], 4000);
    EXPECT_GT(second->processCount, before);
}

TEST_F(PluginLoadingTest, LoadingOverARunningSlotClosesTheOldInstance) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    ProbeLog* oldLog = LogOf(0);
    ASSERT_NE(oldLog, nullptr);

    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    // The old instance freed itself on close, so its address may come back: tell the
    // instances apart by their logs.
    ProbeLog* newLog = LogOf(0);
    ASSERT_NE(newLog, nullptr);
    EXPECT_NE(newLog, oldLog);
    EXPECT_EQ(newLog->DispatchOpcodes().front(), effOpen);
    const std::vector<VstInt32> oldCalls = oldLog->DispatchOpcodes();
    ASSERT_GE(oldCalls.size(), 2u);
    EXPECT_EQ(oldCalls[oldCalls.size() - 2], effMainsChanged);
    EXPECT_EQ(oldCalls.back(), effClose);
}

TEST_F(PluginLoadingTest, FailedLoadOverARunningSlotLeavesItEmpty) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    ProbeLog* oldLog = LogOf(0);
    ASSERT_NE(oldLog, nullptr);

    EXPECT_FALSE(engine->LoadPlugin(0, "NoSuchPlugin.so"));
    EXPECT_EQ(oldLog->DispatchOpcodes().back(), effClose);
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
    EXPECT_EQ(SlotName(*engine, 0), "Not instanced");
    EXPECT_NE(engine->LastPluginError().find("NoSuchPlugin.so"), std::string::npos)
        << engine->LastPluginError();
    // The empty slot is skipped by the renderer.
    for (int16_t sample : Render(1)) {
        ASSERT_EQ(sample, 0);
    }
}

// Every broken library fails alone: the slot stays empty, the reason is kept, and the
// engine goes on rendering.
TEST_F(PluginLoadingTest, BrokenLibrariesFailCleanlyWithTheirReason) {
    ScratchFolder junk;
    junk.WriteFile("NotALibrary.so", "this is text, not a shared library\n");
    struct Case {
        std::string folder;
        const char* name;
        std::string reason;
    };
    const Case cases[] = {
        {junk.Path(), "NotALibrary.so", "NotALibrary.so"}, // the loader's own text names it
        {kBadPluginDir, "NoEntryPoint.so", kNoEntryPoint},
        {kBadPluginDir, "NullInstance.so", kNotAVstPlugin},
        {kBadPluginDir, "WrongMagic.so", kNotAVstPlugin},
        {kBadPluginDir, "Missing.so", "Missing.so"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetFolder(*engine, c.folder);
        // Running first: our own folder ends the search path, so the probe is found.
        ASSERT_TRUE(engine->LoadPlugin(3, kProbeName));
        EXPECT_FALSE(engine->LoadPlugin(3, c.name));
        EXPECT_FALSE(engine->song.slots[3].IsInstanced());
        EXPECT_EQ(SlotName(*engine, 3), "Not instanced");
        EXPECT_NE(engine->LastPluginError().find(c.reason), std::string::npos)
            << engine->LastPluginError();
        EXPECT_EQ(OpenPluginCommand(*engine, c.name).statusText,
                  std::string("Error creating ") + c.name + " plugin");
        Render(1);
    }
}

// The window learns why from the reporter, whichever step refused the library.
TEST_F(PluginLoadingTest, AFailedLoadLeavesItsReasonWithTheReporter) {
    SetFolder(*engine, kBadPluginDir);
    EXPECT_FALSE(engine->LoadPlugin(1, "NoEntryPoint.so"));
    const std::string reason = engine->reporter.LastFailure();
    EXPECT_NE(reason.find("NoEntryPoint.so"), std::string::npos) << reason;
    EXPECT_NE(reason.find(kNoEntryPoint), std::string::npos) << reason;

    EXPECT_FALSE(engine->LoadPlugin(1, "../Escape.so"));
    EXPECT_NE(engine->reporter.LastFailure().find(engine->LastPluginError()), std::string::npos)
        << engine->reporter.LastFailure();
    EXPECT_NE(engine->reporter.LastFailure(), reason);
}

TEST_F(PluginLoadingTest, AnInstanceWithoutTheMagicIsNeverCalled) {
    SetFolder(*engine, kBadPluginDir);
    EXPECT_FALSE(engine->LoadPlugin(0, "WrongMagic.so"));
    void* library = dlopen((kBadPluginDir + "/WrongMagic.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    auto calls = reinterpret_cast<int (*)()>(dlsym(library, "VantreelWrongMagicCalls"));
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls(), 0);
}

TEST_F(PluginLoadingTest, NewerEntryPointNameAloneLoads) {
    SetFolder(*engine, kBadPluginDir);
    ASSERT_TRUE(engine->LoadPlugin(0, "PluginMainOnly.so")) << engine->LastPluginError();
    EXPECT_TRUE(engine->song.slots[0].IsInstanced());
    EXPECT_EQ(engine->effect[0]->magic, kEffectMagic);
}

// A name that does not fit the slot's 64-byte text is refused, not cut: a cut name
// would be saved into projects as a different file.
TEST_F(PluginLoadingTest, NamesThatDoNotFitAreRefusedAndNamesThatFitAreKeptWhole) {
    ScratchFolder folder;
    const std::string fits = std::string(60, 'f') + ".so";    // 63 characters
    const std::string tooLong = std::string(61, 'l') + ".so"; // 64 characters
    folder.Link(kOwnPluginDir + "/" + kProbeName, fits);
    folder.Link(kOwnPluginDir + "/" + kProbeName, tooLong);
    SetFolder(*engine, folder.Path());

    ASSERT_TRUE(engine->LoadPlugin(0, fits.c_str())) << engine->LastPluginError();
    EXPECT_EQ(std::string(engine->song.slots[0].dllName), fits);

    EXPECT_FALSE(engine->LoadPlugin(1, tooLong.c_str()));
    EXPECT_FALSE(engine->song.slots[1].IsInstanced());
    EXPECT_NE(engine->LastPluginError().find("63"), std::string::npos);
}

TEST_F(PluginLoadingTest, NamesLeavingThePluginFolderAreRefused) {
    ScratchFolder folder;
    folder.MakeFolder("inner");
    folder.Link(kOwnPluginDir + "/" + kProbeName, "outside.so");
    SetFolder(*engine, folder.Path("inner"));

    EXPECT_FALSE(engine->LoadPlugin(0, "../outside.so"));
    const std::string absolute = kOwnPluginDir + "/" + kProbeName;
    if (absolute.size() < size_t(kTextSize)) {
        EXPECT_FALSE(engine->LoadPlugin(0, absolute.c_str()));
    }
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
}

TEST_F(PluginLoadingTest, NamesAreFoundAlongTheSearchPathAndInSubfolders) {
    ScratchFolder shared;
    shared.MakeFolder("Probe.vst");
    shared.Link(kOwnPluginDir + "/" + kProbeName, "Probe.vst/Probe.so");
    ScopedEnvironment path("VST_PATH", "/nonexistent/vst:" + shared.Path());
    ScratchFolder empty;
    SetFolder(*engine, empty.Path());

    ASSERT_TRUE(engine->LoadPlugin(0, "Probe.vst/Probe.so")) << engine->LastPluginError();
    EXPECT_STREQ(engine->song.slots[0].dllName, "Probe.vst/Probe.so");
    // Our own plug-in folder ends the search path.
    ASSERT_TRUE(engine->LoadPlugin(1, kSynthName)) << engine->LastPluginError();
}

TEST_F(PluginLoadingTest, ClearProjectClosesEveryInstance) {
    ASSERT_TRUE(engine->LoadPlugin(0, kProbeName));
    ASSERT_TRUE(engine->LoadPlugin(15, kProbeName));
    ProbeLog* first = LogOf(0);
    ProbeLog* last = LogOf(15);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    engine->ClearProject();
    EXPECT_EQ(first->DispatchOpcodes().back(), effClose);
    EXPECT_EQ(last->DispatchOpcodes().back(), effClose);
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
    EXPECT_FALSE(engine->song.slots[15].IsInstanced());
}

} // namespace
} // namespace vantreel::test
