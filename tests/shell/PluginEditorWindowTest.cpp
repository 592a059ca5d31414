// The plug-in editor window on the offscreen platform, with our probe and with a
// scripted editor: what the plug-in is asked and in which order, the window's sizes
// (first, default and grown), idling, and "Edit..." without X11. The same window
// with real X11 windows is tested in PluginEditorUnderXvfbTest.

#include "PanelTestSupport.h"

#include "plugins/HostCallback.h"
#include "shell/ControlPanel.h"
#include "shell/PluginEditorWindow.h"
#include "shell/UserMessages.h"
#include "testplugins/bad/MisbehavingControl.h"

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <thread>

namespace vantreel::test {
namespace {

// An editor whose answers each test sets: the rectangle it gives (or none), and a
// size it asks for while it opens.
struct ScriptedEditor {
    AEffect effect{};
    bool givesRect = false;
    ERect rect{};
    EditorSize askWhileOpening{0, 0};
    std::vector<VstInt32> calls;

    ScriptedEditor() {
        effect.magic = kEffectMagic;
        effect.dispatcher = &Dispatch;
        effect.flags = effFlagsHasEditor;
        effect.object = this;
    }

    static VstIntPtr Dispatch(AEffect* e, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
        auto* self = static_cast<ScriptedEditor*>(e->object);
        self->calls.push_back(opcode);
        if (opcode == effEditGetRect && self->givesRect && ptr != nullptr) {
            *static_cast<ERect**>(ptr) = &self->rect;
            return 1;
        }
        if (opcode == effEditOpen && self->askWhileOpening.width > 0) {
            HostCallback(e, audioMasterSizeWindow, self->askWhileOpening.width,
                         self->askWhileOpening.height, nullptr, 0.0f);
        }
        return 0;
    }
};

class PluginEditorWindowTest : public PanelEngineTest {
protected:
    std::vector<VstInt32> EditorCalls() {
        std::vector<VstInt32> calls;
        for (VstInt32 opcode : Log().DispatchOpcodes()) {
            if (opcode >= effEditGetRect && opcode <= effEditTop) {
                calls.push_back(opcode);
            }
        }
        return calls;
    }
    static VstIntPtr AskSize(AEffect& effect, int width, int height) {
        return HostCallback(&effect, audioMasterSizeWindow, width, height, nullptr, 0.0f);
    }
};

TEST_F(PluginEditorWindowTest, OnlyASlotWithAnEditorCanOpenOne) {
    EXPECT_FALSE(PluginEditorWindow::CanOpen(*engine));
    LoadProbe();
    EXPECT_TRUE(PluginEditorWindow::CanOpen(*engine));
    Effect().flags &= ~effFlagsHasEditor;
    EXPECT_FALSE(PluginEditorWindow::CanOpen(*engine));
}

TEST_F(PluginEditorWindowTest, SizesToThePluginsRectangle) {
    EXPECT_EQ(PluginEditorWindow::HostSizeFor(ERect{0, 0, 300, 400}), QSize(408, 303));
    EXPECT_EQ(PluginEditorWindow::HostSizeFor(ERect{10, 20, 110, 220}), QSize(208, 103));
    EXPECT_EQ(PluginEditorWindow::HostSizeFor(EditorSize{640, 480}), QSize(648, 483));
    // Empty and inside-out rectangles get the default editor size.
    EXPECT_EQ(PluginEditorWindow::HostSizeFor(ERect{50, 50, 0, 0}), QSize(408, 303));
    EXPECT_EQ(PluginEditorWindow::HostSizeFor(ERect{0, 0, 0, 0}), QSize(408, 303));
    EXPECT_EQ(PluginEditorWindow::HostSizeFor(ERect{0, 0, 200, -5}), QSize(408, 303));
}

TEST_F(PluginEditorWindowTest, OpensIdlesGrowsAndClosesTheEditorInOrder) {
    LoadProbe();
    {
        PluginEditorWindow window(*engine, Effect(), nullptr);
        EXPECT_EQ(window.windowTitle(), "VantreelProbe.so");
        EXPECT_EQ(window.HostWindow().objectName(), "WndEnv");
        EXPECT_EQ(window.HostWindow().size(), QSize(408, 303));
        EXPECT_EQ(window.size(), QSize(408, 303));
        EXPECT_EQ(Effect().resvd2, VstIntPtr(window.winId()));
        const auto opens = Log().DispatchesOf(effEditOpen);
        ASSERT_EQ(opens.size(), 1u);
        EXPECT_EQ(opens[0].ptr, reinterpret_cast<const void*>(window.HostWindow().winId()));
        EXPECT_EQ(EditorCalls(), (std::vector<VstInt32>{effEditOpen, effEditGetRect, effEditTop}));
        EXPECT_TRUE(engine->hostContext.IsEditorOpen(&Effect()));

        window.show();
        QTest::qWait(6 * PluginEditorWindow::kIdleMilliseconds);
        const size_t idles = Log().DispatchesOf(effEditIdle).size();
        EXPECT_GE(idles, 2u);
        EXPECT_LE(idles, 8u);
        // The probe asked to grow on its first idle, from a thread of its own.
        EXPECT_EQ(window.size(), QSize(488, 363));
        EXPECT_EQ(window.HostWindow().size(), QSize(488, 363));
        window.close();
        EXPECT_FALSE(engine->hostContext.IsEditorOpen(&Effect()));
        QTest::qWait(3 * PluginEditorWindow::kIdleMilliseconds);
        EXPECT_EQ(Log().DispatchesOf(effEditIdle).size(), idles) << "idle after close";
    }
    const auto calls = EditorCalls();
    EXPECT_EQ(calls.back(), effEditClose);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), effEditClose), 1);
}

TEST_F(PluginEditorWindowTest, AMissingOrEmptyRectangleGetsTheDefaultSize) {
    ScriptedEditor none;
    EXPECT_EQ(PluginEditorWindow(*engine, none.effect, nullptr).size(), QSize(408, 303));
    EXPECT_EQ(none.calls,
              (std::vector<VstInt32>{effEditOpen, effEditGetRect, effEditTop, effEditClose}));
    ScriptedEditor empty;
    empty.givesRect = true;
    EXPECT_EQ(PluginEditorWindow(*engine, empty.effect, nullptr).size(), QSize(408, 303));
    ScriptedEditor insideOut;
    insideOut.givesRect = true;
    insideOut.rect = {100, 100, 20, 20};
    EXPECT_EQ(PluginEditorWindow(*engine, insideOut.effect, nullptr).size(), QSize(408, 303));
}

// Our misbehaving plug-in asks for 65535 x 65535 pixels, as some in the wild do.
TEST_F(PluginEditorWindowTest, AnEditorLargerThanTheScreenGetsTheScreen) {
    const std::string bad = std::string(VANTREEL_BINARY_DIR) + "/testplugins-bad";
    const auto api = misbehaving::Api::Open((bad + "/" + misbehaving::kLibraryName).c_str());
    ASSERT_TRUE(api.Ok());
    misbehaving::Config config;
    config.hasEditor = true;
    config.editorRect = {-32768, -32768, 32767, 32767};
    api.configure(&config);
    SetPluginFolderText(*engine, bad);
    ASSERT_TRUE(engine->LoadPlugin(0, misbehaving::kLibraryName)) << engine->LastPluginError();
    PluginEditorWindow window(*engine, Effect(), nullptr);
    const QSize screen = window.screen()->availableSize();
    EXPECT_EQ(window.size(), screen);
    EXPECT_EQ(window.HostWindow().size(), screen);
    // A grown size asked for later is held to the screen as well.
    window.show();
    EXPECT_EQ(AskSize(Effect(), kMaxEditorSide, kMaxEditorSide), 1);
    QTest::qWait(3 * PluginEditorWindow::kIdleMilliseconds);
    EXPECT_EQ(window.size(), screen);
}

TEST_F(PluginEditorWindowTest, ASizeAskedForFromAnotherThreadWaitsForTheTimer) {
    ScriptedEditor editor;
    editor.givesRect = true;
    editor.rect = {0, 0, 100, 200};
    EXPECT_EQ(AskSize(editor.effect, 640, 480), 0) << "no editor is open yet";
    PluginEditorWindow window(*engine, editor.effect, nullptr);
    EXPECT_EQ(window.size(), QSize(208, 103));
    window.show();

    VstIntPtr answer = -1;
    std::thread([&] { answer = AskSize(editor.effect, 640, 480); }).join();
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(window.size(), QSize(208, 103)) << "resized outside the user-interface timer";
    QTest::qWait(3 * PluginEditorWindow::kIdleMilliseconds);
    EXPECT_EQ(window.size(), QSize(648, 483));
    EXPECT_EQ(window.HostWindow().size(), QSize(648, 483));

    // Unusable sizes are refused and change nothing.
    EXPECT_EQ(AskSize(editor.effect, 0, 480), 0);
    EXPECT_EQ(AskSize(editor.effect, 640, -1), 0);
    EXPECT_EQ(AskSize(editor.effect, 100000, 480), 0);
    QTest::qWait(2 * PluginEditorWindow::kIdleMilliseconds);
    EXPECT_EQ(window.size(), QSize(648, 483));

    window.close();
    EXPECT_EQ(AskSize(editor.effect, 300, 300), 0) << "the editor is closed";
}

TEST_F(PluginEditorWindowTest, ASizeAskedForWhileOpeningIsServedRightAfter) {
    ScriptedEditor editor;
    editor.givesRect = true;
    editor.rect = {0, 0, 100, 200};
    editor.askWhileOpening = {300, 250};
    PluginEditorWindow window(*engine, editor.effect, nullptr);
    EXPECT_EQ(window.size(), QSize(308, 253));
    // Asking did not make the host idle an editor that was still opening.
    EXPECT_EQ(std::count(editor.calls.begin(), editor.calls.end(), effEditIdle), 0);
}

TEST_F(PluginEditorWindowTest, EditSaysEditorsNeedX11WhereThereIsNone) {
    ASSERT_FALSE(PluginEditorWindow::PlatformShowsEditors()) << "runs on the offscreen platform";
    QWidget owner;
    UserMessages messages(owner);
    ControlPanel panel(*engine, messages, &owner);
    int refreshes = 0;
    panel.repaintEditors = [&] { ++refreshes; };

    panel.Button(kEditPlugin)->click(); // empty slot: only a refresh
    EXPECT_EQ(refreshes, 1);

    LoadProbe();
    QString said;
    WhenModal(
        [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                return false;
            }
            said = box->text();
            EXPECT_EQ(box->windowTitle(), "Vantreel");
            box->accept();
            return true;
        },
        &owner);
    panel.Button(kEditPlugin)->click();
    EXPECT_EQ(said, kEditorsNeedX11Text);
    EXPECT_TRUE(Log().DispatchesOf(effEditOpen).empty()) << "an editor was opened";
    EXPECT_FALSE(engine->hostContext.IsEditorOpen(&Effect()));
    EXPECT_TRUE(panel.Ready());
}

} // namespace
} // namespace vantreel::test
