// The host callback's answers, asked by a loaded probe instance exactly as a plug-in
// asks them, and the MIDI it records into the pattern.

#include "plugins/HostCallback.h"
#include "PluginTestSupport.h"

#include <array>
#include <atomic>
#include <thread>

namespace vantreel::test {
namespace {

using probe::ProbeLog;

class HostCallbackTest : public PluginHostTest {
protected:
    AEffect* instance = nullptr;

    void SetUp() override {
        PluginHostTest::SetUp();
        ASSERT_TRUE(engine->LoadPlugin(0, kProbeName)) << engine->LastPluginError();
        instance = engine->effect[0];
        probe.clearLog(instance);
    }

    VstIntPtr Ask(VstInt32 opcode, void* ptr = nullptr) {
        return probe.callHost(instance, opcode, 0, 0, ptr, 0.0f);
    }

    int Count(VstInt32 opcode) { return int(LogOf(0)->DispatchesOf(opcode).size()); }
};

TEST_F(HostCallbackTest, PlainAnswersFollowTheTable) {
    const std::pair<VstInt32, VstIntPtr> answers[] = {
        {audioMasterAutomate, 0},
        {audioMasterVersion, 7},
        {audioMasterCurrentId, ('V' << 24) | ('N' << 16) | ('T' << 8) | 'R'},
        {audioMasterIdle, 0},
        {audioMasterPinConnected, 1},
        {5, 0},
        {audioMasterWantMidi, 0},
        {audioMasterSetTime, 0},
        {audioMasterTempoAt, 1250000},
        {audioMasterGetNumAutomatableParameters, 0},
        {audioMasterGetParameterQuantization, 0},
        {audioMasterIOChanged, 0},
        {audioMasterNeedIdle, 1},
        {audioMasterSizeWindow, 0},
        {audioMasterGetSampleRate, 44100},
        {audioMasterGetBlockSize, 256},
        {audioMasterGetVendorVersion, 5000},
        {audioMasterVendorSpecific, 0},
        {audioMasterSetIcon, 0},
        {audioMasterGetLanguage, 1},
        {audioMasterOpenWindow, 0},
        {audioMasterCloseWindow, 0},
        {audioMasterGetDirectory, 0},
        {audioMasterUpdateDisplay, 0},
    };
    for (const auto& [opcode, expected] : answers) {
        EXPECT_EQ(Ask(opcode), expected) << "opcode " << opcode;
    }
    for (VstInt32 opcode = audioMasterGetInputLatency; opcode <= 31; ++opcode) {
        EXPECT_EQ(Ask(opcode), 0) << "opcode " << opcode;
    }
    for (VstInt32 opcode : {43, 44, 50, 1000, -1}) {
        EXPECT_EQ(Ask(opcode), 0) << "opcode " << opcode;
    }
}

TEST_F(HostCallbackTest, VendorAndProductAreCopiedAndAnswerZero) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(Ask(audioMasterGetVendorString, text), 0);
    EXPECT_STREQ(text, "Steinberg");
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(Ask(audioMasterGetProductString, text), 0);
    EXPECT_STREQ(text, "Cubase VST");
    // A plug-in passing no buffer gets the answer without a write.
    EXPECT_EQ(Ask(audioMasterGetVendorString), 0);
}

TEST_F(HostCallbackTest, NoCapabilityIsClaimed) {
    for (const char* capability : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents",
                                   "sendVstTimeInfo", "sizeWindow", "openFileSelector", ""}) {
        EXPECT_EQ(Ask(audioMasterCanDo, const_cast<char*>(capability)), 0) << capability;
    }
}

TEST_F(HostCallbackTest, TempoAndSampleRateFollowTheSong) {
    engine->song.settings.lineLength = 5000;
    EXPECT_EQ(Ask(audioMasterTempoAt), 1323000);
    engine->song.settings.sampleRate = 48000;
    EXPECT_EQ(Ask(audioMasterGetSampleRate), 48000);
    engine->song.settings.lineLength = 0; // a damaged project: no division by zero
    EXPECT_EQ(Ask(audioMasterTempoAt), 0);
}

TEST_F(HostCallbackTest, NeedIdleForwardsToTheCallingInstance) {
    EXPECT_EQ(Ask(audioMasterNeedIdle), 1);
    EXPECT_EQ(Count(effIdle), 1);
    // Without an instance there is no one to forward to.
    EXPECT_EQ(HostCallback(nullptr, audioMasterNeedIdle, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(HostCallback(nullptr, audioMasterIdle, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(HostCallback(nullptr, audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(HostCallbackTest, EditorIdleReachesOnlyAnOpenEditor) {
    Ask(audioMasterIdle);
    Ask(audioMasterUpdateDisplay);
    EXPECT_EQ(Count(effEditIdle), 0);

    engine->hostContext.SetEditorOpen(instance, true);
    Ask(audioMasterIdle);
    Ask(audioMasterUpdateDisplay);
    EXPECT_EQ(Count(effEditIdle), 2);
    const auto idle = LogOf(0)->DispatchesOf(effEditIdle);
    EXPECT_EQ(idle[0].index, 0);
    EXPECT_EQ(idle[0].value, 0);
    EXPECT_FALSE(idle[0].hasPtr);

    engine->hostContext.SetEditorOpen(instance, false);
    Ask(audioMasterIdle);
    EXPECT_EQ(Count(effEditIdle), 2);
}

TEST_F(HostCallbackTest, ClosingAnInstanceDropsItsEditorMark) {
    engine->hostContext.SetEditorOpen(instance, true);
    engine->UnloadPlugin(0);
    EXPECT_FALSE(engine->hostContext.IsEditorOpen(instance));
}

TEST_F(HostCallbackTest, SizeWindowIsNotedOnlyForAnEditorBeingShown) {
    HostContext& context = engine->hostContext;
    const auto askSize = [&](VstInt32 width, VstIntPtr height) {
        return probe.callHost(instance, audioMasterSizeWindow, width, height, nullptr, 0.0f);
    };
    EXPECT_EQ(askSize(500, 400), 0) << "no editor";
    EXPECT_FALSE(context.TakeEditorSizeRequest(instance));

    // While opening, a request is kept but the editor is not idled yet.
    context.SetEditorOpening(instance);
    EXPECT_FALSE(context.IsEditorOpen(instance));
    EXPECT_EQ(askSize(500, 400), 1);
    Ask(audioMasterIdle);
    EXPECT_EQ(Count(effEditIdle), 0);
    context.SetEditorOpen(instance, true);
    EXPECT_TRUE(context.IsEditorOpen(instance));
    EXPECT_EQ(askSize(640, 480), 1); // the last request counts
    const auto size = context.TakeEditorSizeRequest(instance);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 640);
    EXPECT_EQ(size->height, 480);
    EXPECT_FALSE(context.TakeEditorSizeRequest(instance)) << "served twice";

    for (const auto& [width, height] :
         std::vector<std::pair<VstInt32, VstIntPtr>>{{0, 100},
                                                     {100, 0},
                                                     {-1, 100},
                                                     {100, -1},
                                                     {kMaxEditorSide + 1, 100},
                                                     {100, VstIntPtr(1) << 40}}) {
        EXPECT_EQ(askSize(width, height), 0) << width << " x " << height;
    }
    EXPECT_FALSE(context.TakeEditorSizeRequest(instance));
    EXPECT_EQ(askSize(kMaxEditorSide, 1), 1);
    EXPECT_TRUE(context.TakeEditorSizeRequest(instance));

    // A request left when the editor closed does not reach its next opening.
    EXPECT_EQ(askSize(300, 200), 1);
    context.SetEditorOpen(instance, false);
    EXPECT_EQ(askSize(300, 200), 0);
    context.SetEditorOpening(instance);
    EXPECT_FALSE(context.TakeEditorSizeRequest(instance));
    context.SetEditorOpen(instance, false);
}

// An editor thread asks for sizes while the user-interface thread serves them and
// idles the editor: every size taken is one that was asked for, whole.
TEST_F(HostCallbackTest, ConcurrencySizeRequestsFromAnEditorThread) {
    HostContext& context = engine->hostContext;
    context.SetEditorOpen(instance, true);
    std::atomic<bool> done{false};
    std::thread editorThread([&] {
        for (int n = 1; n <= 2000; ++n) {
            HostCallback(instance, audioMasterSizeWindow, n, n + 1, nullptr, 0.0f);
        }
        done = true;
    });
    int served = 0;
    int last = 0;
    while (!done || served == 0) {
        if (const auto size = context.TakeEditorSizeRequest(instance)) {
            EXPECT_EQ(size->height, size->width + 1);
            EXPECT_GT(size->width, last) << "an older request came after a newer one";
            last = size->width;
            ++served;
        }
        HostCallback(instance, audioMasterIdle, 0, 0, nullptr, 0.0f);
    }
    editorThread.join();
    if (const auto size = context.TakeEditorSizeRequest(instance)) {
        last = size->width;
    }
    EXPECT_EQ(last, 2000);
    context.SetEditorOpen(instance, false);
}

// A VstEvents list of `count` events, the way a plug-in sends its keyboard's MIDI.
struct EventList {
    VstInt32 numEvents = 0;
    VstIntPtr reserved = 0;
    VstEvent* events[4] = {};
    VstMidiEvent storage[4] = {};

    void Add(VstInt32 type, std::array<uint8_t, 3> bytes) {
        VstMidiEvent& e = storage[numEvents];
        e.type = type;
        e.byteSize = sizeof(VstMidiEvent);
        e.deltaFrames = 17;
        for (int i = 0; i < 3; ++i) {
            e.midiData[i] = char(bytes[i]);
        }
        events[numEvents++] = reinterpret_cast<VstEvent*>(&e);
    }
};

std::atomic<int> repaints{0};
void CountRepaint() {
    ++repaints;
}

class RecordingTest : public HostCallbackTest {
protected:
    void SetUp() override {
        HostCallbackTest::SetUp();
        engine->editor.currentSlot = 3;
        engine->editor.currentPattern = 4;
        engine->editor.cursorLine = 5;
        engine->editor.cursorTrack = 6;
        engine->hostContext.SetRepaintHook(&CountRepaint);
        repaints = 0;
    }
    EventCell Cursor() { return engine->song.slots[3].patterns[4].Cell(5, 6); }
};

TEST_F(RecordingTest, OutsideEditModeEventsChangeNothing) {
    EventList list;
    list.Add(kVstMidiType, {0x90, 60, 100});
    EXPECT_EQ(Ask(audioMasterProcessEvents, &list), 1);
    EXPECT_EQ(Cursor(), EventCell{});
    EXPECT_EQ(repaints, 0);
}

TEST_F(RecordingTest, InEditModeTheLastMidiEventLandsInTheCursorCell) {
    engine->editor.editMode = 1;
    EventList list;
    list.Add(kVstMidiType, {0x91, 60, 100});
    list.Add(2, {0x92, 1, 2}); // not MIDI: skipped
    list.Add(kVstMidiType, {0x93, 64, 90});
    EXPECT_EQ(Ask(audioMasterProcessEvents, &list), 1);
    EXPECT_EQ(Cursor(), (EventCell{0x93, 64, 90, 0}));
    EXPECT_EQ(engine->editor.cursorLine, 5); // the cursor does not move
    EXPECT_EQ(repaints, 1);
    // The events are written, not played.
    EXPECT_EQ(engine->eventLists[3].numEvents, 0);
}

TEST_F(RecordingTest, WhilePlayingTheCellIsWrittenWithoutARepaintRequest) {
    engine->editor.editMode = 1;
    engine->PlayPattern();
    EventList list;
    list.Add(kVstMidiType, {0x90, 48, 80});
    Ask(audioMasterProcessEvents, &list);
    EXPECT_EQ(Cursor(), (EventCell{0x90, 48, 80, 0}));
    EXPECT_EQ(repaints, 0);
}

TEST_F(RecordingTest, ACursorOutsideThePatternWritesNothing) {
    engine->editor.editMode = 1;
    engine->editor.cursorLine = kPatternLines;
    EventList list;
    list.Add(kVstMidiType, {0x90, 48, 80});
    EXPECT_EQ(Ask(audioMasterProcessEvents, &list), 1);
    // Line 256 would be past the cells, on the pattern's length and the next pattern.
    EXPECT_EQ(engine->song.slots[3].patterns[4].Length(), kDefaultPatternLength);
    EXPECT_EQ(engine->song.slots[3].patterns[5].Cell(0, 6), EventCell{});
    EXPECT_STREQ(engine->song.slots[3].patterns[5].name, "Untitled");
    EXPECT_EQ(repaints, 0);
    // No list at all is answered too.
    EXPECT_EQ(HostCallback(instance, audioMasterProcessEvents, 0, 0, nullptr, 0.0f), 1);
}

// A plug-in's own thread sends MIDI and asks for the tempo while the audio thread
// plays the very pattern being written and the user changes the tempo.
TEST_F(RecordingTest, ConcurrencyPluginThreadRecordsWhileTheAudioThreadPlays) {
    engine->editor.editMode = 1;
    engine->editor.currentSlot = 0;
    engine->editor.slaveCursor = 0; // the cursor stays where the events land
    engine->PlayPattern();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<int16_t> buffer(2 * kCallbackFrames);
        while (!stop) {
            engine->StreamCallback(buffer.data(), true);
        }
    });
    std::thread pluginThread([&] {
        for (int n = 0; n < 2000; ++n) {
            EventList list;
            list.Add(kVstMidiType, {0x90, uint8_t(n % 128), 100});
            Ask(audioMasterProcessEvents, &list);
            EXPECT_GT(Ask(audioMasterTempoAt), 0);
        }
    });
    for (int n = 0; n < 200; ++n) {
        engine->song.settings.lineLength = 2000 + n;
    }
    pluginThread.join();
    stop = true;
    audio.join();
    EXPECT_EQ(engine->song.slots[0].patterns[4].Cell(5, 6), (EventCell{0x90, 1999 % 128, 100, 0}));
    EXPECT_EQ(repaints, 0); // playing: the editor follows on its own timer
}

TEST(HostCallbackWithoutEngineTest, AnswersAsADefaultSong) {
    ASSERT_EQ(HostContext::Current(), nullptr);
    EXPECT_EQ(HostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f), 7);
    EXPECT_EQ(HostCallback(nullptr, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f), 44100);
    EXPECT_EQ(HostCallback(nullptr, audioMasterGetBlockSize, 0, 0, nullptr, 0.0f), 256);
    EXPECT_EQ(HostCallback(nullptr, audioMasterTempoAt, 0, 0, nullptr, 0.0f), 1250000);
    VstEvents events{};
    EXPECT_EQ(HostCallback(nullptr, audioMasterProcessEvents, 0, 0, &events, 0.0f), 1);
}

TEST(HostContextTest, OnlyTheLiveEngineIsPublished) {
    auto first = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    EXPECT_EQ(HostContext::Current(), &first->hostContext);
    first.reset();
    EXPECT_EQ(HostContext::Current(), nullptr);
}

} // namespace
} // namespace vantreel::test
