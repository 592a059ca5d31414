// Key sequences typed into the real editor view: Qt key events go through the
// widget's key mapping into the editors, as the platform delivers them.

#include "ShellTestSupport.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace vantreel::test {
namespace {

class EditorViewKeys : public testing::Test {
protected:
    std::unique_ptr<AudioEngine> engine = MakeEngine();
    EditorView view{*engine};
    EditorState& editor = engine->editor;

    EventCell CellAt(int line, int track) { return engine->CurrentPattern().Cell(line, track); }
    int QueuedEvents() { return engine->eventLists[0].numEvents; }
    uint8_t QueuedByte(int event, int byte) {
        return uint8_t(engine->eventLists[0].storage[event].midiData[byte]);
    }
    void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Press(view, key, modifiers);
        Release(view, key, modifiers);
    }
    // A held key: the first press, then pairs of release and press marked as repeats,
    // then the real release.
    void Hold(Qt::Key key, int repeats) {
        Press(view, key);
        for (int i = 0; i < repeats; ++i) {
            Release(view, key, Qt::NoModifier, true);
            Press(view, key, Qt::NoModifier, true);
        }
        Release(view, key);
    }
    void ClickAt(int x, int y) {
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier,
                          QPoint(x, y) + view.contentsRect().topLeft());
    }
};

TEST_F(EditorViewKeys, HeldNoteKeyInEditModeWritesOneLinePerRepeat) {
    editor.editMode = 1;
    Hold(Qt::Key_Z, 2);
    for (int line = 0; line < 3; ++line) {
        EXPECT_EQ(CellAt(line, 0), (EventCell{0x90, 48, 0x78, 0x00})) << line;
    }
    EXPECT_EQ(CellAt(3, 0), EventCell{});
    EXPECT_EQ(editor.cursorLine.load(), 3);

    Type(Qt::Key_P);
    EXPECT_EQ(CellAt(3, 0), (EventCell{0x90, 0x4C, 0x78, 0x00}));
}

TEST_F(EditorViewKeys, HeldNoteKeyOutsideEditModeSoundsOncePerPress) {
    Type(Qt::Key_Q); // nothing released yet since start: the first press stays silent
    EXPECT_EQ(QueuedEvents(), 0);

    Hold(Qt::Key_Q, 3); // one note on, then only the real release's note off
    ASSERT_EQ(QueuedEvents(), 2);
    EXPECT_EQ(QueuedByte(0, 0), 0x90);
    EXPECT_EQ(QueuedByte(0, 1), 60);
    EXPECT_EQ(QueuedByte(1, 0), 0x80);
    EXPECT_EQ(QueuedByte(1, 1), 60);

    Press(view, Qt::Key_Q); // the release re-armed it
    EXPECT_EQ(QueuedEvents(), 3);
    EXPECT_EQ(CellAt(0, 0), EventCell{});
    EXPECT_EQ(editor.cursorLine.load(), 0);
}

TEST_F(EditorViewKeys, HexDigitsMapByKeyWhateverShiftDoes) {
    editor.cursorColumn = 1;
    Type(Qt::Key_5);
    EXPECT_EQ(CellAt(0, 0).status, 0x50);
    editor.cursorColumn = 2;
    editor.cursorLine = 0;
    Type(Qt::Key_A, Qt::ShiftModifier);
    EXPECT_EQ(CellAt(0, 0).status, 0x5A);
}

TEST_F(EditorViewKeys, HexDigitsAndDeleteEditTheCellAndMoveDown) {
    engine->CurrentPattern().SetCell(0, 0, {0x90, 0x3C, 0x78, 0x00});
    engine->CurrentPattern().SetCell(1, 0, {0x90, 0x3C, 0x78, 0x00});
    engine->CurrentPattern().SetCell(2, 0, {0x90, 0x3C, 0x78, 0x00});
    editor.cursorColumn = 1;
    Type(Qt::Key_A);
    EXPECT_EQ(CellAt(0, 0), (EventCell{0xA0, 0x3C, 0x78, 0x00}));
    editor.cursorColumn = 2;
    Type(Qt::Key_A);
    EXPECT_EQ(CellAt(1, 0), (EventCell{0x9A, 0x3C, 0x78, 0x00}));
    editor.cursorColumn = 3;
    Type(Qt::Key_Delete);
    EXPECT_EQ(CellAt(2, 0), (EventCell{0x90, 0x00, 0x78, 0x00}));
    EXPECT_EQ(editor.cursorLine.load(), 3);
}

TEST_F(EditorViewKeys, ColumnsAndTracksWrapAndTabReachesTheView) {
    editor.cursorTrack = 7;
    editor.cursorColumn = 8;
    Type(Qt::Key_Right);
    EXPECT_EQ(editor.cursorTrack.load(), 0);
    EXPECT_EQ(editor.cursorColumn.load(), 0);
    Type(Qt::Key_Left);
    EXPECT_EQ(editor.cursorTrack.load(), 7);
    EXPECT_EQ(editor.cursorColumn.load(), 8);

    // Tab and Shift+Tab move between tracks even where a focus chain exists.
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLineEdit(&window));
    auto* inWindow = new EditorView(*engine, &window);
    layout->addWidget(inWindow);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    inWindow->setFocus();
    QTest::keyClick(inWindow, Qt::Key_Tab);
    EXPECT_EQ(editor.cursorTrack.load(), 0);
    EXPECT_EQ(editor.cursorColumn.load(), 0);
    QTest::keyClick(inWindow, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(editor.cursorTrack.load(), 7);
    EXPECT_TRUE(inWindow->hasFocus());
}

TEST_F(EditorViewKeys, PageDownStopsAtTheLastLine) {
    editor.cursorLine = 60;
    Type(Qt::Key_PageDown);
    EXPECT_EQ(editor.cursorLine.load(), 63);
    Type(Qt::Key_PageUp);
    EXPECT_EQ(editor.cursorLine.load(), 47);
}

TEST_F(EditorViewKeys, ChannelKeysWrapAround) {
    Type(Qt::Key_Semicolon);
    EXPECT_EQ(editor.midiChannel.load(), 15);
    Type(Qt::Key_Equal);
    EXPECT_EQ(editor.midiChannel.load(), 0);
    Type(Qt::Key_Plus, Qt::ShiftModifier);
    EXPECT_EQ(editor.midiChannel.load(), 1);
    Type(Qt::Key_QuoteLeft);
    EXPECT_EQ(editor.midiChannel.load(), 0);
}

TEST_F(EditorViewKeys, ArrangementEntryShowsThePatternAndSteps) {
    RenderView(view);
    ClickAt(300, 100);
    EXPECT_EQ(editor.patternFocus.load(), 0);
    editor.currentSlot = 3;
    Type(Qt::Key_C);
    EXPECT_EQ(engine->song.arrangement.Get(0, 3).patternCode, 2);
    EXPECT_EQ(editor.seqCursorLine.load(), 16);
    // Line 0: beat shade 24, loop tint, darker in the current slot's column.
    const QImage image = RenderView(view);
    EXPECT_TRUE(
        TextAt(image, view.TextFont(), 64 + 48 * 3 + 4, 25, "C:Untit", {0, 0, 0}, {199, 219, 167}));

    Type(Qt::Key_Up);
    Type(Qt::Key_Up);
    EXPECT_EQ(editor.seqCursorLine.load(), 0);
    ClickAt(300, 400);
    EXPECT_EQ(editor.patternFocus.load(), 1);
}

TEST_F(EditorViewKeys, SlotStepsWrapAndRefreshThePanel) {
    int refreshes = 0;
    view.Controller().refreshControlPanel = [&] { ++refreshes; };
    editor.patternFocus = 0;
    editor.currentSlot = 15;
    editor.currentParameter = 4;
    Type(Qt::Key_Right);
    EXPECT_EQ(editor.currentSlot.load(), 0);
    EXPECT_EQ(editor.currentParameter.load(), 0);
    Type(Qt::Key_Left);
    EXPECT_EQ(editor.currentSlot.load(), 15);
    EXPECT_EQ(refreshes, 2);
}

} // namespace
} // namespace vantreel::test
