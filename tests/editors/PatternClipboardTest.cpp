// The block, pattern and track clipboard: what each command copies, clears and
// pastes, the edges where a paste is cut off, the one buffer the three families
// share, the focus rule of the block commands and their status texts.

#include "EditorTestSupport.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace vantreel::test {
namespace {

using namespace std::chrono_literals;

// A cell that tells where it was written.
EventCell Marked(int line, int track) {
    return {0x90, uint8_t(line), uint8_t(track), 0x01};
}

class PatternClipboardTest : public EditorTest {
protected:
    PatternClipboard& Clipboard() { return controller.Clipboard(); }

    void FillEveryCell(Pattern& pattern) {
        for (int line = 0; line < kPatternLines; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                pattern.SetCell(line, track, Marked(line, track));
            }
        }
    }
    std::vector<EventCell> Cells(const Pattern& pattern) const {
        std::vector<EventCell> cells;
        for (int line = 0; line < kPatternLines; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                cells.push_back(pattern.Cell(line, track));
            }
        }
        return cells;
    }
    // The cells that differ between two snapshots, as (line, track).
    std::vector<std::pair<int, int>> Changed(const std::vector<EventCell>& before,
                                             const Pattern& pattern) const {
        std::vector<std::pair<int, int>> changed;
        const std::vector<EventCell> after = Cells(pattern);
        for (size_t i = 0; i < after.size(); ++i) {
            if (!(after[i] == before[i])) {
                changed.push_back({int(i) / kTracks, int(i) % kTracks});
            }
        }
        return changed;
    }
    void MoveCursor(int line, int track) {
        State().cursorLine = line;
        State().cursorTrack = track;
    }
    void MarkBlock(int firstLine, int firstTrack, int lastLine, int lastTrack) {
        MoveCursor(firstLine, firstTrack);
        controller.BlockStart();
        MoveCursor(lastLine, lastTrack);
        controller.BlockEnd();
    }
    std::vector<int> Geometry() {
        return {State().clipOriginTrack, State().clipOriginLine, State().clipWidth,
                State().clipHeight};
    }
    static void ExpectOutcome(ClipboardOutcome outcome, bool repaint, const char* status) {
        EXPECT_EQ(outcome.repaint, repaint) << status;
        EXPECT_STREQ(outcome.status, status);
    }
};

TEST_F(PatternClipboardTest, ABlockPastedNearTheCornerIsCutOffWithoutWrapping) {
    FillEveryCell(CurrentPattern());
    MarkBlock(4, 1, 7, 2);
    ExpectOutcome(Clipboard().BlockCopy(), false, "Block copied to clipboard");
    EXPECT_EQ(Geometry(), (std::vector<int>{1, 4, 2, 4}));

    // The target pattern is another one, so what lands there is plain to see.
    State().currentPattern = 1;
    CurrentPattern().SetLength(256);
    const std::vector<EventCell> before = Cells(CurrentPattern());
    MoveCursor(254, 7);
    ExpectOutcome(Clipboard().BlockPaste(), true, "Block pasted from clipboard");

    EXPECT_EQ(Changed(before, CurrentPattern()),
              (std::vector<std::pair<int, int>>{{254, 7}, {255, 7}}));
    EXPECT_EQ(CurrentPattern().Cell(254, 7), Marked(4, 1));
    EXPECT_EQ(CurrentPattern().Cell(255, 7), Marked(5, 1));
}

TEST_F(PatternClipboardTest, AnInvertedBlockCopiesAndCutsNothingButStillReports) {
    FillEveryCell(CurrentPattern());
    MarkBlock(0, 0, 1, 1);
    Clipboard().BlockCopy();
    const std::vector<EventCell> buffer = Cells(State().clipboardPattern);
    const std::vector<int> geometry = Geometry();

    for (auto corners : {std::vector<int>{10, 3, 9, 3}, {10, 3, 10, 2}, {10, 3, 2, 1}}) {
        MarkBlock(corners[0], corners[1], corners[2], corners[3]);
        CurrentPattern().SetCell(0, 0, {0x91, 1, 2, 3}); // the buffer must not see this
        ExpectOutcome(Clipboard().BlockCopy(), false, "Block copied to clipboard");
        EXPECT_EQ(Cells(State().clipboardPattern), buffer);
        EXPECT_EQ(Geometry(), geometry);

        const std::vector<EventCell> before = Cells(CurrentPattern());
        ExpectOutcome(Clipboard().BlockCut(), true, "Block cut to clipboard");
        EXPECT_TRUE(Changed(before, CurrentPattern()).empty());
    }
}

TEST_F(PatternClipboardTest, PastesBeforeAnyCopy) {
    FillEveryCell(CurrentPattern());
    CurrentPattern().SetName("Verse");
    const std::vector<EventCell> before = Cells(CurrentPattern());
    ExpectOutcome(Clipboard().BlockPaste(), true, "Block pasted from clipboard");
    EXPECT_TRUE(Changed(before, CurrentPattern()).empty());

    // The buffer starts as an all-zero record: no name, length 0, empty cells.
    ExpectOutcome(Clipboard().PatternPaste(), true, "Pattern pasted from clipboard");
    EXPECT_STREQ(CurrentPattern().name, "");
    EXPECT_EQ(CurrentPattern().Length(), 0);
    EXPECT_EQ(Cells(CurrentPattern()), Cells(Pattern{}));
}

TEST_F(PatternClipboardTest, ATrackCopiesAllStoredLinesWhateverTheLength) {
    FillEveryCell(CurrentPattern());
    ASSERT_EQ(CurrentPattern().Length(), 64);
    State().clipboardPattern.SetCell(0, 1, {0xB0, 7, 7, 0}); // outside track 0: kept
    MoveCursor(3, 5);
    ExpectOutcome(Clipboard().TrackCopy(), false, "Track copied to clipboard");
    EXPECT_EQ(State().clipboardPattern.Cell(0, 1), (EventCell{0xB0, 7, 7, 0}));

    State().currentPattern = 2;
    const std::vector<EventCell> before = Cells(CurrentPattern());
    MoveCursor(100, 2);
    ExpectOutcome(Clipboard().TrackPaste(), true, "Track pasted from clipboard");
    const std::vector<std::pair<int, int>> changed = Changed(before, CurrentPattern());
    EXPECT_EQ(changed.size(), size_t(kPatternLines));
    for (int line = 0; line < kPatternLines; ++line) {
        EXPECT_EQ(CurrentPattern().Cell(line, 2), Marked(line, 5)) << line;
    }
}

TEST_F(PatternClipboardTest, APatternCopyCarriesItsNameAndLength) {
    FillEveryCell(CurrentPattern());
    ASSERT_STREQ(CurrentPattern().name, "Untitled");
    ExpectOutcome(Clipboard().PatternCopy(), false, "Pattern copied to clipboard");

    State().currentPattern = 1;
    CurrentPattern().SetName("Chorus");
    CurrentPattern().SetLength(32);
    Clipboard().PatternPaste();
    EXPECT_STREQ(CurrentPattern().name, "Untitled");
    EXPECT_EQ(CurrentPattern().Length(), 64);
    EXPECT_EQ(Cells(CurrentPattern()), Cells(engine->song.slots[0].patterns[0]));
}

TEST_F(PatternClipboardTest, CutsClearWhatTheyCopied) {
    FillEveryCell(CurrentPattern());
    CurrentPattern().SetName("Verse");
    CurrentPattern().SetLength(48);
    std::vector<EventCell> before = Cells(CurrentPattern());

    MarkBlock(2, 3, 3, 4);
    ExpectOutcome(Clipboard().BlockCut(), true, "Block cut to clipboard");
    EXPECT_EQ(Changed(before, CurrentPattern()),
              (std::vector<std::pair<int, int>>{{2, 3}, {2, 4}, {3, 3}, {3, 4}}));
    EXPECT_EQ(CurrentPattern().Cell(2, 3), EventCell{});
    MoveCursor(40, 0);
    Clipboard().BlockPaste();
    EXPECT_EQ(CurrentPattern().Cell(41, 1), Marked(3, 4));

    MoveCursor(0, 6);
    before = Cells(CurrentPattern());
    ExpectOutcome(Clipboard().TrackCut(), true, "Track cut to clipboard");
    EXPECT_EQ(Changed(before, CurrentPattern()).size(), size_t(kPatternLines));
    EXPECT_EQ(State().clipboardPattern.Cell(255, 0), Marked(255, 6));

    ExpectOutcome(Clipboard().PatternCut(), true, "Pattern cut to clipboard");
    EXPECT_EQ(Cells(CurrentPattern()), Cells(Pattern{}));
    EXPECT_STREQ(CurrentPattern().name, "Verse"); // name and length stay
    EXPECT_EQ(CurrentPattern().Length(), 48);
    EXPECT_EQ(State().clipboardPattern.Cell(255, 7), Marked(255, 7));
    EXPECT_STREQ(State().clipboardPattern.name, "Verse");
}

TEST_F(PatternClipboardTest, TheFamiliesShareOneBuffer) {
    FillEveryCell(CurrentPattern());
    MarkBlock(0, 0, 1, 0);
    Clipboard().BlockCopy();
    // A pattern copy from another pattern replaces the cells the block paste takes;
    // the geometry stays.
    State().currentPattern = 1;
    CurrentPattern().SetCell(0, 0, {0xC0, 9, 0, 0});
    Clipboard().PatternCopy();
    EXPECT_EQ(Geometry(), (std::vector<int>{0, 0, 1, 2}));
    State().currentPattern = 2;
    MoveCursor(10, 3);
    Clipboard().BlockPaste();
    EXPECT_EQ(CurrentPattern().Cell(10, 3), (EventCell{0xC0, 9, 0, 0}));
    EXPECT_EQ(CurrentPattern().Cell(11, 3), EventCell{});
}

TEST_F(PatternClipboardTest, BlockCommandsActOnlyWithThePatternEditorFocused) {
    FillEveryCell(CurrentPattern());
    MarkBlock(0, 0, 3, 3);
    State().patternFocus = 0;
    const std::vector<EventCell> before = Cells(CurrentPattern());
    ExpectOutcome(Clipboard().BlockCopy(), false, "Block copied to clipboard");
    EXPECT_EQ(Geometry(), (std::vector<int>{0, 0, 0, 0}));
    ExpectOutcome(Clipboard().BlockCut(), true, "Block cut to clipboard");
    ExpectOutcome(Clipboard().BlockPaste(), true, "Block pasted from clipboard");
    EXPECT_TRUE(Changed(before, CurrentPattern()).empty());

    // The arrangement's Ctrl+B and Ctrl+E set the song marks, not the block.
    State().seqCursorLine = 32;
    controller.BlockStart();
    State().seqCursorLine = 96;
    controller.BlockEnd();
    EXPECT_EQ(engine->song.settings.loopStart.load(), 32);
    EXPECT_EQ(engine->song.settings.songEnd.load(), 96);
    EXPECT_EQ(State().blockLastLine, 3);

    // Pattern and track commands do not care about the focus.
    MoveCursor(0, 1);
    Clipboard().TrackCut();
    EXPECT_EQ(CurrentPattern().Cell(0, 1), EventCell{});
}

TEST_F(PatternClipboardTest, ChangesToThePatternWaitForTheEngineLock) {
    Clipboard().PatternCopy();
    std::atomic<bool> pasted{false};
    std::thread paste;
    {
        EngineLockGuard held(engine->lock);
        paste = std::thread([&] {
            Clipboard().PatternPaste();
            pasted = true;
        });
        std::this_thread::sleep_for(50ms);
        EXPECT_FALSE(pasted) << "the paste did not wait for the lock";
    }
    paste.join();
    EXPECT_TRUE(pasted);
}

} // namespace
} // namespace vantreel::test
