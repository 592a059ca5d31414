// Plug-in editors in real X11 windows on a private Xvfb display: our probe's editor
// (a window of its own inside ours, which grows once), the control panel held shut
// while an editor is open, and Debian's Nekobi and MVerb, whose OpenGL editors must
// open, draw, idle and close, twice in a row; Kars comes without an editor.
//
// The outer test starts this same test program under Xvfb, running only the inner
// tests, which skip themselves anywhere else.

#include "InnerTestRun.h"
#include "PanelTestSupport.h"

#include "shell/ControlPanel.h"
#include "shell/PluginEditorWindow.h"
#include "shell/UserMessages.h"
#include "shell/X11Display.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSlider>
#include <QTest>

#include <X11/Xlib.h>

namespace vantreel::test {
namespace {

constexpr int kRunTimeoutMilliseconds = 120000;
const char* const kInsideVariable = "VANTREEL_EDITORS_UNDER_XVFB";
const char* const kDebianPluginFolder = "/usr/lib/vst";

TEST(PluginEditorsUnderXvfb, RunInsideAPrivateDisplay) {
    RunInnerTestsUnderXvfb({.insideVariable = kInsideVariable,
                            .filter = "*EditorsInside.*",
                            .expectedPasses = 5,
                            .timeoutMilliseconds = kRunTimeoutMilliseconds});
}

class PluginEditorsInside : public PanelEngineTest {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet(kInsideVariable)) {
            GTEST_SKIP() << "runs inside PluginEditorsUnderXvfb only";
        }
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        ASSERT_TRUE(PluginEditorWindow::PlatformShowsEditors());
        PanelEngineTest::SetUp();
    }

    std::vector<VstInt32> EditorCalls() {
        std::vector<VstInt32> calls;
        for (VstInt32 opcode : Log().DispatchOpcodes()) {
            if (opcode >= effEditGetRect && opcode <= effEditTop) {
                calls.push_back(opcode);
            }
        }
        return calls;
    }

    // What the screen shows of the window handed to the plug-in.
    static QImage Shown(PluginEditorWindow& window) {
        return window.screen()->grabWindow(window.HostWindow().winId()).toImage();
    }

    static ::Window ParentOf(::Window window) {
        ::Window root = 0;
        ::Window parent = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(X11Display(), window, &root, &parent, &children, &count) == 0) {
            return 0;
        }
        if (children != nullptr) {
            XFree(children);
        }
        return parent;
    }
};

TEST_F(PluginEditorsInside, ProbeEditorDrawsIntoTheHandedWindowAndGrowsOnce) {
    LoadProbe();
    {
        PluginEditorWindow window(*engine, Effect(), nullptr);
        const auto opens = Log().DispatchesOf(effEditOpen);
        ASSERT_EQ(opens.size(), 1u);
        const WId host = window.HostWindow().winId();
        EXPECT_EQ(opens[0].ptr, reinterpret_cast<const void*>(host));
        EXPECT_EQ(EditorCalls(), (std::vector<VstInt32>{effEditOpen, effEditGetRect, effEditTop}));
        // The probe's own connection found our window and put its own inside.
        const ::Window editor = Log().editorWindow.load();
        ASSERT_NE(editor, 0u) << "the probe could not use the window it was handed";
        EXPECT_EQ(ParentOf(editor), host);
        EXPECT_EQ(window.size(), QSize(408, 303));

        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(10 * PluginEditorWindow::kIdleMilliseconds);
        const size_t idles = Log().DispatchesOf(effEditIdle).size();
        EXPECT_GE(idles, 5u);
        EXPECT_LE(idles, 14u);
        EXPECT_EQ(window.size(), QSize(488, 363)) << "the grown size";
        EXPECT_EQ(window.HostWindow().size(), QSize(488, 363));
        int asked = 0;
        for (const probe::HostCallRecord& call : Log().hostCalls.Snapshot()) {
            if (call.opcode == audioMasterSizeWindow) {
                ++asked;
                EXPECT_EQ(call.index, probe::kProbeEditorGrownWidth);
                EXPECT_EQ(call.value, probe::kProbeEditorGrownHeight);
                EXPECT_EQ(call.result, 1);
            }
        }
        EXPECT_EQ(asked, 1);

        // The probe paints a yellow rectangle on blue.
        const QImage shown = Shown(window);
        ASSERT_FALSE(shown.isNull());
        EXPECT_EQ(shown.pixel(20, 20), qRgb(0xF0, 0xC0, 0x20));
        EXPECT_EQ(shown.pixel(470, 340), qRgb(0x20, 0x60, 0xC0));
        window.close();
    }
    const auto calls = EditorCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), effEditClose);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), effEditClose), 1);
}

TEST_F(PluginEditorsInside, EditHoldsThePanelShutWhileTheEditorIsOpen) {
    QWidget owner;
    UserMessages messages(owner);
    ControlPanel panel(*engine, messages, &owner);
    int refreshes = 0;
    panel.repaintEditors = [&] { ++refreshes; };
    LoadProbe();
    bool wasShut = false;
    WhenModal(
        [&](QWidget* modal) {
            auto* window = qobject_cast<PluginEditorWindow*>(modal);
            if (window == nullptr) {
                return false;
            }
            wasShut = !panel.Ready();
            panel.Slider(kVolumeSlider)->setValue(5); // a slider moved meanwhile
            panel.Slider(kDelaySendSlider)->setValue(90);
            window->close();
            return true;
        },
        &owner);
    panel.Button(kEditPlugin)->click();
    EXPECT_TRUE(wasShut);
    EXPECT_TRUE(panel.Ready());
    EXPECT_EQ(engine->song.settings.masterVolume, kDefaultMasterVolume);
    EXPECT_EQ(engine->song.slots[0].sendDelay, 0);
    EXPECT_EQ(panel.Slider(kVolumeSlider)->value(), kDefaultMasterVolume) << "refreshed after";
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(Log().DispatchesOf(effEditOpen).size(), 1u);
    EXPECT_EQ(Log().DispatchesOf(effEditClose).size(), 1u);
}

class DebianEditorsInside : public PluginEditorsInside {
protected:
    // Opens the editor of `file`, lets it idle for a while, looks at what it drew,
    // and closes it; twice, with the same instance.
    void OpenDrawAndCloseTwice(const char* file) {
        if (!QFileInfo::exists(QString(kDebianPluginFolder) + "/" + file)) {
            GTEST_SKIP() << file << " is not installed (dpf-plugins-vst)";
        }
        SetPluginFolderText(*engine, kDebianPluginFolder);
        ASSERT_TRUE(engine->LoadPlugin(0, file)) << engine->LastPluginError();
        engine->editor.currentSlot = 0;
        ASSERT_TRUE(PluginEditorWindow::CanOpen(*engine));
        AEffect& effect = *engine->effect[0];
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(std::string(file) + ", opening " + std::to_string(round));
            PluginEditorWindow window(*engine, effect, nullptr);
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            EXPECT_GT(window.HostWindow().width(), 100);
            EXPECT_GT(window.HostWindow().height(), 100);
            QTest::qWait(1500); // the editor paints from its idle calls
            ExpectDrawn(Shown(window), window.palette().color(QPalette::Window).rgb());
            EXPECT_TRUE(engine->hostContext.IsEditorOpen(&effect));
            window.close();
            EXPECT_FALSE(engine->hostContext.IsEditorOpen(&effect));
            QTest::qWait(100);
        }
        // Still a working plug-in after both editors.
        EXPECT_GT(effect.numParams, 0);
        char name[kTextSize];
        engine->GetSlotName(0, name);
        EXPECT_STREQ(name, file);
        engine->UnloadPlugin(0);
    }

    static void ExpectDrawn(const QImage& shown, QRgb background) {
        ASSERT_FALSE(shown.isNull());
        QSet<QRgb> colours;
        int drawn = 0;
        int total = 0;
        for (int y = 0; y < shown.height(); y += 3) {
            for (int x = 0; x < shown.width(); x += 3) {
                const QRgb pixel = shown.pixel(x, y) | 0xFF000000u;
                colours.insert(pixel);
                drawn += pixel != (background | 0xFF000000u) && pixel != qRgb(0, 0, 0);
                ++total;
            }
        }
        EXPECT_GT(colours.size(), 20) << "the editor window stayed blank";
        EXPECT_GT(drawn, total / 2) << "most of the window shows no drawing";
    }
};

TEST_F(DebianEditorsInside, NekobiOpensDrawsIdlesAndClosesTwice) {
    OpenDrawAndCloseTwice("Nekobi-vst.so");
}

TEST_F(DebianEditorsInside, MVerbOpensDrawsIdlesAndClosesTwice) {
    OpenDrawAndCloseTwice("MVerb-vst.so");
}

// Debian builds Kars without its editor: "Edit..." then opens nothing and says nothing.
TEST_F(DebianEditorsInside, KarsWithoutAnEditorOpensNothing) {
    const char* const kars = "Kars-vst.so";
    if (!QFileInfo::exists(QString(kDebianPluginFolder) + "/" + kars)) {
        GTEST_SKIP() << kars << " is not installed (dpf-plugins-vst)";
    }
    SetPluginFolderText(*engine, kDebianPluginFolder);
    ASSERT_TRUE(engine->LoadPlugin(0, kars)) << engine->LastPluginError();
    engine->editor.currentSlot = 0;
    if (PluginEditorWindow::CanOpen(*engine)) {
        GTEST_SKIP() << "this build of Kars has an editor; the other editor tests cover it";
    }
    QWidget owner;
    UserMessages messages(owner);
    ControlPanel panel(*engine, messages, &owner);
    int refreshes = 0;
    panel.repaintEditors = [&] { ++refreshes; };
    bool opened = false;
    WhenModal(
        [&](QWidget* modal) {
            opened = true;
            modal->close();
            return true;
        },
        &owner);
    panel.Button(kEditPlugin)->click();
    QTest::qWait(100);
    EXPECT_FALSE(opened) << "a window or a box opened";
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(panel.Ready());
}

} // namespace
} // namespace vantreel::test
