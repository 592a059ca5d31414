// What a message from a MIDI keyboard does: the packed short message is played on the
// current slot's plug-in unchanged and, in edit mode, lands in the cell under the
// pattern cursor, which never moves. Also the packing of RtMidi's bytes.

#include "midi/MidiRecorder.h"
#include "engine/EngineFixture.h"
#include "midi/ShortMessage.h"

#include <atomic>
#include <vector>

namespace vantreel::test {
namespace {

std::atomic<int> repaintRequests{0};
void CountRepaint() {
    ++repaintRequests;
}

uint32_t Packed(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0) {
    return EventCell{status, data1, data2, 0}.Pack();
}

class MidiRecorderTest : public EngineFixture {
protected:
    static constexpr int kSlot = 3;
    static constexpr int kPattern = 1;
    static constexpr int kLine = 8;
    static constexpr int kTrack = 2;

    void SetUp() override {
        fake = &Install(kSlot);
        engine->editor.currentSlot = kSlot;
        engine->editor.currentPattern = kPattern;
        engine->editor.cursorLine = kLine;
        engine->editor.cursorTrack = kTrack;
        repaintRequests = 0;
    }

    EventCell CursorCell() const {
        return engine->song.slots[kSlot].patterns[kPattern].Cell(kLine, kTrack);
    }
    int FilledCells() const {
        int filled = 0;
        for (const PluginSlot& slot : engine->song.slots) {
            for (const Pattern& pattern : slot.patterns) {
                for (int line = 0; line < kPatternLines; ++line) {
                    for (int track = 0; track < kTracks; ++track) {
                        filled += !(pattern.Cell(line, track) == EventCell{});
                    }
                }
            }
        }
        return filled;
    }
    // What the slot's plug-in received in the next block, as cells.
    std::vector<EventCell> Played() {
        const int before = fake->eventCount;
        Render(1);
        std::vector<EventCell> played;
        for (int n = before; n < fake->eventCount; ++n) {
            const auto& event = fake->events[n];
            EXPECT_EQ(event.deltaFrames, 0);
            played.push_back({event.bytes[0], event.bytes[1], event.bytes[2], event.bytes[3]});
        }
        return played;
    }
    void ExpectCursorStill() {
        EXPECT_EQ(engine->editor.cursorLine, kLine);
        EXPECT_EQ(engine->editor.cursorTrack, kTrack);
        EXPECT_EQ(engine->editor.cursorColumn, 0);
    }

    FakePlugin* fake = nullptr;
    MidiRecorder recorder{*engine, &CountRepaint};
};

TEST_F(MidiRecorderTest, OutsideEditModeMessagesSoundAndNothingIsStored) {
    recorder.Receive(Packed(0x90, 60, 100));
    recorder.Receive(Packed(0xB0, 7, 90));
    EXPECT_EQ(Played(), (std::vector<EventCell>{{0x90, 60, 100, 0}, {0xB0, 7, 90, 0}}));
    EXPECT_EQ(FilledCells(), 0);
    ExpectCursorStill();
}

TEST_F(MidiRecorderTest, InEditModeEveryMessageOverwritesTheCursorCellAsReceived) {
    engine->editor.editMode = 1;
    engine->editor.midiChannel = 0;

    recorder.Receive(Packed(0x90, 0x3C, 0x64)); // key down, channel 1
    EXPECT_EQ(CursorCell(), (EventCell{0x90, 0x3C, 0x64, 0}));
    recorder.Receive(Packed(0x80, 0x3C, 0x40)); // its release
    EXPECT_EQ(CursorCell(), (EventCell{0x80, 0x3C, 0x40, 0}));
    recorder.Receive(Packed(0x99, 0x24, 0x7F)); // channel 10 stays channel 10
    EXPECT_EQ(CursorCell(), (EventCell{0x99, 0x24, 0x7F, 0}));
    recorder.Receive(Packed(0xB5, 1, 64)); // a controller
    EXPECT_EQ(CursorCell(), (EventCell{0xB5, 1, 64, 0}));
    recorder.Receive(Packed(0xC3, 5)); // a two-byte program change
    EXPECT_EQ(CursorCell(), (EventCell{0xC3, 5, 0, 0}));
    recorder.Receive(Packed(0xF8)); // timing clock: stored, shown as blanks
    EXPECT_EQ(CursorCell(), (EventCell{0xF8, 0, 0, 0}));

    EXPECT_EQ(Played(), (std::vector<EventCell>{{0x90, 0x3C, 0x64, 0},
                                                {0x80, 0x3C, 0x40, 0},
                                                {0x99, 0x24, 0x7F, 0},
                                                {0xB5, 1, 64, 0},
                                                {0xC3, 5, 0, 0},
                                                {0xF8, 0, 0, 0}}));
    EXPECT_EQ(FilledCells(), 1);
    ExpectCursorStill();
}

TEST_F(MidiRecorderTest, ActiveSensingNeitherSoundsNorIsStored) {
    engine->editor.editMode = 1;
    recorder.Receive(Packed(0x90, 60, 100));
    recorder.Receive(Packed(kActiveSensing));
    EXPECT_EQ(CursorCell(), (EventCell{0x90, 60, 100, 0}));
    EXPECT_EQ(Played(), (std::vector<EventCell>{{0x90, 60, 100, 0}}));
    EXPECT_EQ(repaintRequests, 1);
}

TEST_F(MidiRecorderTest, RepaintIsRequestedOnlyWhileStopped) {
    recorder.Receive(Packed(0x90, 60, 100));
    EXPECT_EQ(repaintRequests, 1);
    engine->PlayPattern();
    recorder.Receive(Packed(0x80, 60, 0));
    EXPECT_EQ(repaintRequests, 1);
    engine->StopPlayback();
    recorder.Receive(Packed(0x90, 62, 100));
    EXPECT_EQ(repaintRequests, 2);
}

TEST_F(MidiRecorderTest, ACursorOutsideTheSongWritesNothingButStillPlays) {
    engine->editor.editMode = 1;
    for (auto [line, track] : {std::pair{kPatternLines, 0}, {-1, 0}, {0, kTracks}, {0, -1}}) {
        engine->editor.cursorLine = line;
        engine->editor.cursorTrack = track;
        recorder.Receive(Packed(0x90, 60, 100));
    }
    engine->editor.cursorLine = 0;
    engine->editor.currentPattern = kPatternsPerSlot;
    recorder.Receive(Packed(0x90, 60, 100));
    EXPECT_EQ(FilledCells(), 0);
    EXPECT_EQ(Played().size(), 5u);
}

TEST(ShortMessage, PacksUpToThreeBytesWithAZeroTopByte) {
    const uint8_t noteOn[] = {0x90, 0x3C, 0x64};
    EXPECT_EQ(PackShortMessage(noteOn, 3), 0x00643C90u);
    const uint8_t programChange[] = {0xC9, 0x05};
    EXPECT_EQ(PackShortMessage(programChange, 2), 0x000005C9u);
    const uint8_t clock[] = {0xF8};
    EXPECT_EQ(PackShortMessage(clock, 1), 0x000000F8u);
    // Nothing past the third byte is kept, whatever a driver hands over.
    const uint8_t longer[] = {0xB0, 0x07, 0x64, 0x55, 0x66};
    EXPECT_EQ(PackShortMessage(longer, 5), 0x006407B0u);
}

TEST(ShortMessage, SystemExclusiveAndEmptyMessagesAreNotShortMessages) {
    const uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    EXPECT_EQ(PackShortMessage(sysex, sizeof sysex), std::nullopt);
    EXPECT_EQ(PackShortMessage(sysex, 0), std::nullopt);
    EXPECT_EQ(PackShortMessage(nullptr, 3), std::nullopt);
}

} // namespace
} // namespace vantreel::test
