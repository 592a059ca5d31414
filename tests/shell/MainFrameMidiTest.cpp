// The main window's MIDI input: opened with the window, counted on the status line,
// recording into the view, and closed before the view goes. A private JACK server
// with the dummy driver stands in for the machine's MIDI system.

#include "shell/EditorView.h"
#include "shell/MainFrame.h"
#include "support/JackServer.h"

#include <rtmidi/RtMidi.h>

#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace vantreel::test {
namespace {

struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(MainFrameMidi, WithoutAnyMidiSystemTheStatusLineSaysNothing) {
    if (access("/dev/snd/seq", R_OK | W_OK) == 0) {
        GTEST_SKIP() << "this machine has an ALSA sequencer";
    }
    ScopedEnvironment server("JACK_DEFAULT_SERVER", "vantreel-nobody-" + std::to_string(getpid()));
    ScopedEnvironment noStart("JACK_NO_START_SERVER", std::string("1"));
    CMainFrame frame(OutputMode::CallerDriven); // a message box here would never return
    EXPECT_EQ(frame.Midi().DeviceCount(), 0);
    EXPECT_FALSE(frame.View().Painter().midiInputRunning);
}

TEST(MainFrameMidi, AKeyboardIsCountedRecordsAndRepaintsAndClosesBeforeTheView) {
    JackServer jack;
    if (!jack.Running()) {
        GTEST_SKIP() << "no JACK server: " << jack.Problem();
    }
    RtMidiOut keyboard(RtMidi::UNIX_JACK, "Test keyboard");
    keyboard.openVirtualPort("keys");

    auto frame = std::make_unique<CMainFrame>(OutputMode::CallerDriven);
    frame->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    EXPECT_EQ(frame->Midi().DeviceCount(), 1);
    EXPECT_TRUE(frame->View().Painter().midiInputRunning);

    AudioEngine& engine = frame->Engine();
    engine.editor.editMode = 1;
    engine.editor.cursorLine = 5;
    QTest::qWait(100); // the first paints settle
    PaintCounter counter;
    frame->View().installEventFilter(&counter);
    std::vector<unsigned char> note = {0x92, 0x30, 0x70};
    keyboard.sendMessage(&note);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return engine.CurrentPattern().Cell(5, 0) == EventCell{0x92, 0x30, 0x70, 0};
    }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }));
    frame->View().removeEventFilter(&counter);

    bool openAtViewTeardown = true;
    CMainFrame* window = frame.get();
    QObject::connect(&frame->View(), &QObject::destroyed,
                     [&] { openAtViewTeardown = window->Midi().IsOpen(); });
    frame.reset();
    EXPECT_FALSE(openAtViewTeardown);
}

} // namespace
} // namespace vantreel::test
