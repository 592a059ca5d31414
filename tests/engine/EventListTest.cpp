#include "EngineFixture.h"

namespace vantreel::test {
namespace {

using EventListTest = EngineFixture;

TEST_F(EventListTest, ListIsLaidOutAsTheVstEventList) {
    FakePlugin& fake = Install(0);
    engine->PlayCell(0, 2, {0x91, 62, 99, 1}, 17);
    const SlotEventList& list = engine->eventLists[0];
    const auto* header = reinterpret_cast<const VstEvents*>(&list);
    ASSERT_EQ(header->numEvents, 1);
    const auto* midi = reinterpret_cast<const VstMidiEvent*>(header->events[0]);
    EXPECT_EQ(midi->type, kVstMidiType);
    EXPECT_EQ(midi->byteSize, 24);
    EXPECT_EQ(midi->deltaFrames, 17);
    EXPECT_EQ(uint8_t(midi->midiData[0]), 0x91);
    EXPECT_EQ(midi->midiData[3], 1); // the RS byte travels unchanged
    EXPECT_EQ(midi->noteLength, 0);
    Render(1);
    ASSERT_EQ(fake.eventCount, 1);
    EXPECT_EQ(fake.events[0].deltaFrames, 17);
}

TEST_F(EventListTest, SixtyFifthEventIsDroppedAndReported) {
    Install(0);
    for (int n = 0; n < 64; ++n) {
        engine->PlayCell(0, n % kTracks, {0xB0, uint8_t(n), 0, 0}, 0);
    }
    EXPECT_EQ(engine->reporter.TakePending(), 0u);
    engine->lastData1[0][5] = 77;
    engine->PlayCell(0, 5, {0xB1, 9, 0, 0}, 0);
    EXPECT_EQ(engine->eventLists[0].numEvents, 64);
    EXPECT_EQ(engine->lastData1[0][5], 77); // a dropped cell changes no bookkeeping
    EXPECT_EQ(engine->reporter.TakePending(), uint32_t(AudioReport::EventBufferFlood));
    EXPECT_EQ(engine->reporter.TakePending(), 0u);
}

TEST_F(EventListTest, FloodIsReportedOnceToStandardErrorWithoutAHandler) {
    Install(0);
    for (int n = 0; n < 70; ++n) {
        engine->PlayCell(0, 0, {0xB0, 1, 0, 0}, 0);
    }
    ::testing::internal::CaptureStderr();
    engine->reporter.ShowPending();
    for (int n = 0; n < 70; ++n) {
        engine->PlayCell(0, 0, {0xB0, 1, 0, 0}, 0);
    }
    engine->reporter.ShowPending();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Fatal error: Event buffer flood!\n");
}

TEST_F(EventListTest, ReportsGoToTheInstalledHandler) {
    std::vector<UserMessage> shown;
    engine->reporter.SetHandler([&](const UserMessage& m) { shown.push_back(m); });
    engine->reporter.Post(AudioReport::EventBufferFlood);
    engine->reporter.Post(AudioReport::EventBufferFlood);
    engine->reporter.ShowPending();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Event buffer flood!");
    EXPECT_EQ(shown[0].caption, "Fatal error");
}

TEST_F(EventListTest, AllNotesOffSendsSixteenControllersAndForgetsNotes) {
    Install(0);
    engine->PlayCell(0, 0, {0x90, 60, 100, 0}, 0);
    engine->PlayCell(0, 3, {0x93, 64, 100, 0}, 0);
    engine->eventLists[0].numEvents = 0;
    engine->AllNotesOff(0);
    ASSERT_EQ(engine->eventLists[0].numEvents, 16);
    for (int n = 0; n < 16; ++n) {
        const VstMidiEvent& e = engine->eventLists[0].storage[n];
        EXPECT_EQ(uint8_t(e.midiData[0]), 0xB0 + n);
        EXPECT_EQ(e.midiData[1], 123);
    }
    for (int t = 0; t < kTracks; ++t) {
        EXPECT_EQ(engine->lastData1[0][t], kNoNote);
        EXPECT_EQ(engine->lastChannel[0][t], kNoNote);
    }
}

TEST_F(EventListTest, AllNotesOffOverflowsOnItsSixteenthControllerAfterFortyNine) {
    Install(0);
    for (int n = 0; n < 49; ++n) {
        engine->PlayCell(0, 1, {0xC0, 0, 0, 0}, 0);
    }
    engine->AllNotesOff(0);
    EXPECT_EQ(engine->eventLists[0].numEvents, 64);
    EXPECT_EQ(engine->eventLists[0].storage[63].midiData[0], char(0xBE));
    EXPECT_NE(engine->reporter.TakePending(), 0u);
}

TEST_F(EventListTest, AllNotesOffOnAnEmptySlotDoesNothing) {
    engine->AllNotesOff(5);
    EXPECT_EQ(engine->eventLists[5].numEvents, 0);
}

TEST_F(EventListTest, ControllerCellBecomesTheTracksNoteForLaterReleases) {
    Install(0);
    engine->PlayCell(0, 4, {0xB3, 7, 100, 0}, 0);
    EXPECT_EQ(engine->lastData1[0][4], 7);
    EXPECT_EQ(engine->ReleaseTrackNote(0, 4, 9), 1);
    const VstMidiEvent& off = engine->eventLists[0].storage[1];
    EXPECT_EQ(uint8_t(off.midiData[0]), 0x83);
    EXPECT_EQ(off.midiData[1], 7);
    EXPECT_EQ(off.deltaFrames, 9);
    EXPECT_EQ(engine->ReleaseTrackNote(0, 4, 9), 0);
}

TEST_F(EventListTest, NoteOffCellWithoutANoteQueuesNothing) {
    Install(0);
    engine->PlayCell(0, 0, {kStatusNoteOff, 0, 0, 0}, 0);
    engine->PlayCell(0, 0, {kStatusEmpty, 60, 1, 1}, 0);
    EXPECT_EQ(engine->eventLists[0].numEvents, 0);
}

TEST_F(EventListTest, MidiInputArrivesAtTheStartOfTheNextBlock) {
    FakePlugin& fake = Install(2);
    const uint8_t note[4] = {0x90, 70, 80, 0};
    engine->QueueMidiEvent(2, note);
    EXPECT_EQ(engine->eventLists[2].numEvents, 0); // not touched outside the audio thread
    Render(1);
    ASSERT_EQ(fake.eventCount, 1);
    EXPECT_EQ(fake.events[0].deltaFrames, 0);
    EXPECT_EQ(fake.events[0].bytes[1], 70);
    EXPECT_EQ(engine->lastData1[2][0], kNoNote); // no bookkeeping for MIDI input
}

} // namespace
} // namespace vantreel::test
