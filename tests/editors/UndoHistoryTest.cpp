// Undo and redo through the editors' own commands: the song's saved bytes at every
// point of a long random session, the history's bound, coalesced drags, a deleted
// plug-in coming back whole, and the cursor and status names.

#include "editors/UndoHistory.h"
#include "EditorTestSupport.h"
#include "editors/SongEdits.h"
#include "editors/VirtualKeys.h"
#include "engine/SlotRecord.h"
#include "plugins/PluginCalls.h"
#include "support/ScopedEnvironment.h"
#include "support/ScratchFolder.h"

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel::test {
namespace {

const std::string kPluginDir = VANTREEL_PLUGIN_OUTPUT_DIR;
constexpr const char* kProbe = "VantreelProbe.so";

class UndoHistoryTest : public EditorTest {
protected:
    ScratchFolder scratch;
    ScopedEnvironment config{"XDG_CONFIG_HOME", scratch.MakeFolder("config")};
    ScopedEnvironment vstPath{"VST_PATH", scratch.MakeFolder("shared")};
    UndoHistory& history = controller.History();

    void SetUp() override { std::strncpy(engine->pluginFolder, kPluginDir.c_str(), kTextSize - 1); }

    std::vector<uint8_t> Image() { return BuiltImage().bytes; }
    // One image buffer for the whole test: a fresh one per step spent most of the long
    // random session faulting in new pages.
    const ProjectImage& BuiltImage() {
        EXPECT_TRUE(engine->BuildProjectImage(reused));
        return reused;
    }
    std::size_t ImageHash() {
        const std::vector<uint8_t>& bytes = BuiltImage().bytes;
        return std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    ProjectImage reused;
    void EditMode() { State().editMode = 1; }
};

// One random action of any kind, edits and mere moves alike.
void RandomAction(UndoHistoryTest& t, EditorController& c, AudioEngine& engine, std::mt19937& rng) {
    auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    EditorState& e = engine.editor;
    const char noteKeys[] = "ZSXDCVQWER";
    switch (pick(16)) {
    case 0:
    case 1:
        e.patternFocus = 1;
        e.cursorColumn = 0;
        c.KeyDown(noteKeys[pick(10)], kNoModifier, false);
        break;
    case 2:
        e.patternFocus = 1;
        e.cursorColumn = 1 + pick(8);
        c.KeyDown(pick(2) ? vk::Key0 + pick(10) : vk::A + pick(6), kNoModifier, false);
        break;
    case 3:
        e.patternFocus = 1;
        e.cursorColumn = pick(2) ? 0 : 3;
        c.KeyDown(pick(3) ? vk::Delete : vk::Key1, kNoModifier, false);
        break;
    case 4:
        e.patternFocus = 1;
        e.cursorLine = pick(kPatternLines);
        e.cursorTrack = pick(kTracks);
        pick(2) ? c.BlockStart() : c.BlockEnd();
        break;
    case 5: {
        e.patternFocus = 1;
        PatternClipboard& clip = c.Clipboard();
        using Command = ClipboardOutcome (PatternClipboard::*)();
        const Command commands[] = {&PatternClipboard::BlockCut,    &PatternClipboard::BlockCopy,
                                    &PatternClipboard::BlockPaste,  &PatternClipboard::PatternCut,
                                    &PatternClipboard::PatternCopy, &PatternClipboard::PatternPaste,
                                    &PatternClipboard::TrackCut,    &PatternClipboard::TrackCopy,
                                    &PatternClipboard::TrackPaste};
        (clip.*commands[pick(9)])();
        break;
    }
    case 6:
        e.patternFocus = 0;
        c.KeyDown(pick(4) ? vk::A + pick(26) : (pick(2) ? vk::Key1 : vk::Delete), kNoModifier,
                  false);
        break;
    case 7:
        e.patternFocus = 0;
        e.seqCursorLine = pick(200);
        pick(2) ? c.BlockStart() : c.BlockEnd();
        break;
    case 8:
        RenameCurrentPattern(engine, &c.History(), ("Name" + std::to_string(pick(50))).c_str(),
                             false);
        break;
    case 9:
        ResizeCurrentPattern(engine, &c.History(), uint16_t(pick(257)), false);
        break;
    case 10: {
        const SongSetting setting = SongSetting(pick(int(SongSetting::ChorusFeedback) + 1));
        c.History().ChangeSetting(setting, e.currentSlot, pick(128), false);
        break;
    }
    case 11:
        c.History().ChangeSetting(SongSetting::Tempo, 0, kMinLineLength + pick(8000), false);
        break;
    case 12:
        e.currentPattern = pick(3);
        e.cursorLine = pick(64);
        e.cursorTrack = pick(kTracks);
        break;
    case 13:
        e.currentSlot = pick(3);
        break;
    case 14:
        if (pick(8) == 0) {
            OpenPluginRecorded(engine, &c.History(), kProbe);
        }
        break;
    default:
        if (pick(8) == 0) {
            DeletePluginRecorded(engine, &c.History(), [&] { return pick(2) == 0; });
        }
        break;
    }
    (void)t;
}

TEST_F(UndoHistoryTest, ARandomSessionUndoesToTheStartAndRedoesToTheEndByteForByte) {
    EditMode();
    std::mt19937 rng(1234);
    std::vector<std::size_t> hashes{ImageHash()}; // hashes[n]: the song after n steps
    int edits = 0;
    for (int action = 0; edits < 500; ++action) {
        ASSERT_LT(action, 5000) << "too few actions change the song";
        const std::size_t before = history.UndoCount();
        RandomAction(*this, controller, *engine, rng);
        const std::size_t hash = ImageHash();
        if (history.UndoCount() == before) {
            ASSERT_EQ(hash, hashes.back()) << "a change was made without a step, action " << action;
            continue;
        }
        ASSERT_EQ(history.UndoCount(), before + 1) << "one command, one step; action " << action;
        hashes.push_back(hash);
        ++edits;
    }
    for (int n = edits; n > 0; --n) {
        ASSERT_FALSE(history.Undo().empty());
        ASSERT_EQ(ImageHash(), hashes[std::size_t(n - 1)]) << "after undoing step " << n;
    }
    EXPECT_FALSE(history.CanUndo());
    for (int n = 1; n <= edits; ++n) {
        ASSERT_FALSE(history.Redo().empty());
        ASSERT_EQ(ImageHash(), hashes[std::size_t(n)]) << "after redoing step " << n;
    }
    EXPECT_FALSE(history.CanRedo());
}

// Full-pattern pastes of different contents: every one is a step of 2048 cells.
TEST_F(UndoHistoryTest, HugePastesStayWithinTheBoundAndTheOldestGoFirst) {
    constexpr int kPastes = 3000;
    std::vector<uint8_t> firstKept;
    for (int i = 0; i < kPastes; ++i) {
        for (int line = 0; line < kPatternLines; ++line) {
            for (int track = 0; track < kTracks; ++track) {
                State().clipboardPattern.SetCell(line, track,
                                                 EventCell::Unpack(uint32_t(i * 7919 + line + 1)));
            }
        }
        controller.Clipboard().PatternPaste();
        ASSERT_LE(history.Bytes(), kUndoByteLimit);
    }
    const std::size_t kept = history.UndoCount();
    EXPECT_GE(kept, 1000u);
    EXPECT_LT(kept, std::size_t(kPastes)) << "64 MB cannot hold 3000 whole patterns";
    while (history.CanUndo()) {
        history.Undo();
    }
    // Back to the song as it was after the last dropped paste.
    const int last = kPastes - int(kept) - 1;
    EXPECT_EQ(CurrentPattern().Cell(5, 3), EventCell::Unpack(uint32_t(last * 7919 + 5 + 1)));
}

TEST_F(UndoHistoryTest, AThousandSmallStepsAreAllKeptAndAStepAboveTheBoundEmptiesTheHistory) {
    EditMode();
    for (int i = 0; i < 1200; ++i) {
        State().cursorLine = i % 64;
        Key((i / 64) % 2 ? 'X' : 'Z'); // each one changes its cell
    }
    EXPECT_EQ(history.UndoCount(), 1200u);

    UndoHistory small(*engine, 4096);
    small.ChangeSetting(SongSetting::Tempo, 0, 2000, false);
    ASSERT_EQ(small.UndoCount(), 1u);
    controller.Clipboard().history = &small;
    State().clipboardPattern.SetCell(0, 0, {0x90, 60, 100, 0});
    for (int line = 0; line < kPatternLines; ++line) {
        State().clipboardPattern.SetCell(line, 1, {0x90, 61, 100, 0});
    }
    controller.Clipboard().PatternPaste(); // 256 cells: far over 4096 bytes
    EXPECT_FALSE(small.CanUndo()) << "nothing before it can be put back across it";
    EXPECT_EQ(CurrentPattern().Cell(3, 1), (EventCell{0x90, 61, 100, 0})) << "the paste stays";
    EXPECT_TRUE(engine->modified.IsModified());
    controller.Clipboard().history = &history;
}

TEST_F(UndoHistoryTest, ASliderDragIsOneStepUntilReleasedOrAnotherSettingMoves) {
    const int32_t tempo = engine->song.settings.lineLength;
    for (int v = 3000; v < 3100; v += 5) {
        history.ChangeSetting(SongSetting::Tempo, 0, v, true);
    }
    EXPECT_EQ(history.UndoCount(), 1u);
    history.ChangeSetting(SongSetting::MasterVolume, 0, 100, true);
    history.ChangeSetting(SongSetting::MasterVolume, 0, 200, true);
    history.ChangeSetting(SongSetting::Tempo, 0, 4000, true);
    EXPECT_EQ(history.UndoCount(), 3u);
    history.EndCoalescing();
    history.ChangeSetting(SongSetting::Tempo, 0, 4100, true);
    EXPECT_EQ(history.UndoCount(), 4u);
    // Steps that are not drags never merge, and one to the same value is no step.
    history.ChangeSetting(SongSetting::Tempo, 0, 4200, false);
    history.ChangeSetting(SongSetting::Tempo, 0, 4200, false);
    EXPECT_EQ(history.UndoCount(), 5u);

    EXPECT_EQ(history.Undo(), "Undo: Tempo");
    history.Undo();
    history.Undo();
    EXPECT_EQ(history.Undo(), "Undo: Master volume");
    EXPECT_EQ(engine->song.settings.masterVolume, kDefaultMasterVolume) << "both moves undone";
    EXPECT_EQ(history.Undo(), "Undo: Tempo");
    EXPECT_EQ(engine->song.settings.lineLength, tempo) << "the whole drag undone";
}

TEST_F(UndoHistoryTest, ANewChangeCutsTheRedoList) {
    EditMode();
    Key('Z');
    Key('X');
    history.Undo();
    ASSERT_TRUE(history.CanRedo());
    Key('C');
    EXPECT_FALSE(history.CanRedo());
    EXPECT_TRUE(history.Redo().empty());
}

TEST_F(UndoHistoryTest, UndoAndRedoPutTheCursorBackAndSayWhatTheyDid) {
    EditMode();
    State().currentPattern = 2;
    State().cursorLine = 10;
    State().cursorTrack = 5;
    Key('Q');
    ASSERT_EQ(CurrentPattern().Cell(10, 5).data1, 12 * 4 + 12);
    State().currentPattern = 0;
    State().currentSlot = 3;
    State().cursorLine = 40;
    State().patternFocus = 0;

    EXPECT_EQ(history.Undo(), "Undo: Note entry");
    EXPECT_EQ(State().currentSlot, 0);
    EXPECT_EQ(State().currentPattern, 2);
    EXPECT_EQ(State().cursorLine, 10);
    EXPECT_EQ(State().cursorTrack, 5);
    EXPECT_EQ(State().patternFocus, 1);
    EXPECT_EQ(CurrentPattern().Cell(10, 5), EventCell{});

    State().cursorLine = 0;
    EXPECT_EQ(history.Redo(), "Redo: Note entry");
    EXPECT_EQ(State().cursorLine, 10);
    EXPECT_EQ(CurrentPattern().Cell(10, 5).data1, 12 * 4 + 12);

    // The arrangement's cursor comes back too, scrolled into view.
    State().patternFocus = 0;
    State().seqCursorLine = 4000;
    Key('C');
    State().seqCursorLine = 0;
    State().seqScrollLine = 0;
    EXPECT_EQ(history.Undo(), "Undo: Arrangement entry");
    EXPECT_EQ(State().seqCursorLine, 4000);
    EXPECT_EQ(State().patternFocus, 0);
    EXPECT_LE(State().seqScrollLine, 4000);
    EXPECT_GT(State().seqScrollLine + 16 * State().seqStep, 4000);

    State().patternFocus = 1;
    State().blockFirstLine = 0;
    State().blockLastLine = 255;
    State().blockFirstTrack = 0;
    State().blockLastTrack = 7;
    controller.Clipboard().BlockCopy();
    State().cursorLine = 3;
    CurrentPattern().SetCell(100, 1, {0x90, 1, 2, 3});
    controller.Clipboard().BlockPaste(); // nothing differs where it lands but line 100 moves
    EXPECT_EQ(history.NextUndoName(), "Block paste");
    EXPECT_EQ(history.Undo(), "Undo: Block paste");
    EXPECT_EQ(history.Undo(), "Undo: Note entry");
    EXPECT_TRUE(engine->modified.IsModified());
}

// The whole record of a plug-in: program, every program's parameters and the chunk.
TEST_F(UndoHistoryTest, DeleteThenUndoGivesBackTheProbeWithItsWholeState) {
    ASSERT_TRUE(OpenPluginRecorded(*engine, &history, kProbe).loaded);
    AEffect* effect = engine->LivePlugin(0);
    ASSERT_NE(effect, nullptr);
    for (int program = 0; program < effect->numPrograms; ++program) {
        plugin::SetProgram(effect, program);
        for (int k = 0; k < effect->numParams; ++k) {
            plugin::SetParameter(effect, k, float(program * 10 + k + 1) / 64.0f);
        }
    }
    plugin::SetProgram(effect, 2);
    CurrentPattern().SetCell(7, 2, {0x90, 64, 99, 0});
    SlotRecordImage kept;
    std::string problem;
    ASSERT_TRUE(CaptureSlotRecord(*engine, 0, kept, problem)) << problem;
    const std::vector<uint8_t> song = Image();

    DeletePluginRecorded(*engine, &history, [] { return true; });
    ASSERT_FALSE(engine->song.slots[0].IsInstanced());
    ASSERT_EQ(CurrentPattern().Cell(7, 2), EventCell{});

    EXPECT_EQ(history.Undo(), "Undo: Plug-in delete");
    ASSERT_TRUE(engine->song.slots[0].IsInstanced());
    effect = engine->LivePlugin(0);
    EXPECT_EQ(plugin::GetProgram(effect), 2);
    plugin::SetProgram(effect, 1);
    EXPECT_FLOAT_EQ(plugin::GetParameter(effect, 3), 14.0f / 64.0f);
    plugin::SetProgram(effect, 2);
    SlotRecordImage back;
    ASSERT_TRUE(CaptureSlotRecord(*engine, 0, back, problem));
    EXPECT_EQ(back.bytes, kept.bytes) << "name, program, values and chunk";
    EXPECT_EQ(Image(), song);
    EXPECT_EQ(CurrentPattern().Cell(7, 2), (EventCell{0x90, 64, 99, 0}));

    EXPECT_EQ(history.Redo(), "Redo: Plug-in delete");
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
    EXPECT_EQ(history.Undo(), "Undo: Plug-in delete");
    EXPECT_EQ(history.Undo(), "Undo: Plug-in open");
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
}

// A failed Open has already closed the slot's plug-in; undo brings it back.
TEST_F(UndoHistoryTest, UndoingAFailedOpenBringsBackThePlugInItClosed) {
    ASSERT_TRUE(OpenPluginRecorded(*engine, &history, kProbe).loaded);
    EXPECT_FALSE(OpenPluginRecorded(*engine, &history, "NoSuchPlugin.so").loaded);
    ASSERT_FALSE(engine->song.slots[0].IsInstanced());
    EXPECT_EQ(history.Undo(), "Undo: Plug-in open");
    EXPECT_TRUE(engine->song.slots[0].IsInstanced());
    EXPECT_STREQ(engine->song.slots[0].dllName, kProbe);
}

} // namespace
} // namespace vantreel::test
