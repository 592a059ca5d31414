// MIDI input through a real MIDI system, no mocks: a virtual keyboard port made with
// RtMidi plays into the ports MidiInput opened, and the notes reach the probe plug-in
// in the current slot and, in edit mode, the cell under the cursor. JACK runs on a
// private server with the dummy driver; the ALSA sequencer is used where the machine
// has one. Also: a machine with no MIDI system at all, and a port that cannot open.

#include "midi/MidiInput.h"
#include "plugins/PluginTestSupport.h"
#include "support/JackServer.h"

#include <rtmidi/RtMidi.h>

#include <chrono>
#include <functional>
#include <thread>
#include <unistd.h>

namespace vantreel::test {
namespace {

using namespace std::chrono_literals;

constexpr int kSlot = 2;
constexpr int kLine = 8;
constexpr int kTrack = 2;
constexpr auto kDeliveryTimeout = 5s;

bool AlsaSequencerPresent() {
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

std::string SystemName(const ::testing::TestParamInfo<MidiSystem>& info) {
    return info.param == MidiSystem::Jack ? "Jack" : "AlsaSequencer";
}

class MidiThroughARealSystem : public PluginHostTest,
                               public ::testing::WithParamInterface<MidiSystem> {
protected:
    void SetUp() override {
        PluginHostTest::SetUp();
        if (GetParam() == MidiSystem::Jack) {
            jack = std::make_unique<JackServer>();
            if (!jack->Running()) {
                GTEST_SKIP() << "no JACK server: " << jack->Problem();
            }
        } else if (!AlsaSequencerPresent()) {
            GTEST_SKIP() << "this machine has no ALSA sequencer device (/dev/snd/seq)";
        }
        const RtMidi::Api api =
            GetParam() == MidiSystem::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
        keyboard = std::make_unique<RtMidiOut>(api, "Test keyboard");
        keyboard->openVirtualPort("keys");

        ASSERT_TRUE(engine->LoadPlugin(kSlot, kProbeName)) << engine->LastPluginError();
        engine->editor.currentSlot = kSlot;
        engine->editor.cursorLine = kLine;
        engine->editor.cursorTrack = kTrack;
        engine->editor.editMode = 1;
    }
    void TearDown() override {
        input.CloseAll(); // before the keyboard and the server go
        keyboard.reset();
    }

    void Send(std::vector<unsigned char> bytes) { keyboard->sendMessage(&bytes); }
    EventCell CursorCell() const { return engine->CurrentPattern().Cell(kLine, kTrack); }

    // Renders until `done` holds or the time is up; the MIDI system delivers on its
    // own thread meanwhile.
    bool RenderUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + kDeliveryTimeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            Render(1);
            std::this_thread::sleep_for(5ms);
        }
        Render(1); // the last message's block
        return true;
    }
    // The MIDI the probe in the current slot received, oldest first.
    std::vector<EventCell> Played() {
        std::vector<EventCell> played;
        for (const probe::EventRecord& event : LogOf(kSlot)->events.Snapshot()) {
            EXPECT_EQ(event.deltaFrames, 0);
            played.push_back(
                {event.midiData[0], event.midiData[1], event.midiData[2], event.midiData[3]});
        }
        return played;
    }
    bool Received(EventCell cell) {
        for (const EventCell& played : Played()) {
            if (played == cell) {
                return true;
            }
        }
        return false;
    }

    std::unique_ptr<JackServer> jack;
    std::unique_ptr<RtMidiOut> keyboard;
    MidiInput input{*engine, nullptr};
    std::vector<UserMessage> failures;
    MidiInput::FailureReport report = [this](const UserMessage& m) { failures.push_back(m); };
};

TEST_P(MidiThroughARealSystem, AKeyboardPlaysTheCurrentSlotAndRecordsInEditMode) {
    input.OpenAll(report);
    EXPECT_TRUE(failures.empty());
    ASSERT_GE(input.DeviceCount(), 1);
    if (GetParam() == MidiSystem::Jack) {
        EXPECT_EQ(input.DeviceCount(), 1); // the private server has our keyboard only
    }

    const EventCell noteOn{0x90, 0x3C, 0x64, 0};
    Send({0x90, 0x3C, 0x64});
    ASSERT_TRUE(RenderUntil([&] { return CursorCell() == noteOn; })) << "the note never came";
    EXPECT_TRUE(Received(noteOn));

    // System exclusive and active sensing never arrive; the release overwrites the cell.
    Send({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7});
    Send({0xFE});
    const EventCell noteOff{0x80, 0x3C, 0x40, 0};
    Send({0x80, 0x3C, 0x40});
    ASSERT_TRUE(RenderUntil([&] { return CursorCell() == noteOff; }));
    EXPECT_EQ(Played(), (std::vector<EventCell>{noteOn, noteOff}));
    EXPECT_EQ(engine->editor.cursorLine, kLine);
    EXPECT_EQ(engine->editor.cursorTrack, kTrack);

    // Outside edit mode a key only sounds, on its own channel.
    engine->editor.editMode = 0;
    const EventCell channel10{0x99, 0x24, 0x7F, 0};
    Send({0x99, 0x24, 0x7F});
    ASSERT_TRUE(RenderUntil([&] { return Received(channel10); }));
    EXPECT_EQ(CursorCell(), noteOff);
}

TEST_P(MidiThroughARealSystem, APortThatCannotOpenIsReportedOnceAndStillCounted) {
    unsigned int listed = 0;
    for (const MidiPortList& list : MidiInput::ListPorts()) {
        listed += list.system == GetParam() ? list.count : 0;
    }
    ASSERT_GE(listed, 1u);
    // One more port than the system has, as when a port goes away between the listing
    // and the opening.
    input.OpenPorts({{GetParam(), listed + 1}}, report);
    EXPECT_EQ(input.DeviceCount(), int(listed) + 1);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].text, "ERROR: Failed to open midi device #" + std::to_string(listed));
    EXPECT_EQ(failures[0].caption, "Error");
    EXPECT_EQ(failures[0].icon, MessageIcon::Error);

    // The ports that opened still play.
    Send({0x90, 0x40, 0x50});
    EXPECT_TRUE(RenderUntil([&] { return CursorCell() == EventCell{0x90, 0x40, 0x50, 0}; }));
}

TEST_P(MidiThroughARealSystem, PortsBeyondTheHandleTableAreNeitherOpenedNorCounted) {
    input.OpenPorts({{GetParam(), 1}, {GetParam(), kMaxMidiInputs + 8}}, report);
    EXPECT_EQ(input.DeviceCount(), kMaxMidiInputs);
    EXPECT_EQ(failures.back().text,
              "ERROR: Failed to open midi device #" + std::to_string(kMaxMidiInputs - 1));
}

INSTANTIATE_TEST_SUITE_P(Systems, MidiThroughARealSystem,
                         ::testing::Values(MidiSystem::Jack, MidiSystem::AlsaSequencer),
                         SystemName);

TEST_F(PluginHostTest, MidiInputWithoutAnyMidiSystemOpensNothingAndSaysNothing) {
    if (AlsaSequencerPresent()) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    // A JACK server name nobody runs, and no server started on demand.
    ScopedEnvironment server("JACK_DEFAULT_SERVER", "vantreel-nobody-" + std::to_string(getpid()));
    ScopedEnvironment noStart("JACK_NO_START_SERVER", "1");
    MidiInput input(*engine, nullptr);
    int failures = 0;
    input.OpenAll([&](const UserMessage&) { ++failures; });
    EXPECT_EQ(input.DeviceCount(), 0);
    EXPECT_FALSE(input.IsOpen());
    EXPECT_EQ(failures, 0);
    EXPECT_TRUE(MidiInput::ListPorts().empty());
    input.CloseAll();
}

} // namespace
} // namespace vantreel::test
