// The plug-in editor window with our probe plug-in: what the plug-in is asked and
// in which order, the window's size, idling, and the panel held shut meanwhile.

#include "PanelTestSupport.h"

#include "shell/ControlPanel.h"
#include "shell/PluginEditorWindow.h"
#include "shell/UserMessages.h"

#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace vantreel::test {
namespace {

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
};

TEST_F(PluginEditorWindowTest, OnlyASlotWithAnEditorCanOpenOne) {
    EXPECT_FALSE(PluginEditorWindow::CanOpen(*engine));
    LoadProbe();
    EXPECT_TRUE(PluginEditorWindow::CanOpen(*engine));
    Effect().flags &= ~effFlagsHasEditor;
    EXPECT_FALSE(PluginEditorWindow::CanOpen(*engine));
}

TEST_F(PluginEditorWindowTest, SizesToThePluginsRectangle) {
    EXPECT_EQ(PluginEditorWindow::HostSizeFor({0, 0, 300, 400}), QSize(408, 303));
    EXPECT_EQ(PluginEditorWindow::HostSizeFor({10, 20, 110, 220}), QSize(208, 103));
    EXPECT_EQ(PluginEditorWindow::HostSizeFor({50, 50, 0, 0}), QSize(8, 3));
}

TEST_F(PluginEditorWindowTest, OpensIdlesAndClosesTheEditorInOrder) {
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
        window.close();
        EXPECT_FALSE(engine->hostContext.IsEditorOpen(&Effect()));
        QTest::qWait(3 * PluginEditorWindow::kIdleMilliseconds);
        EXPECT_EQ(Log().DispatchesOf(effEditIdle).size(), idles) << "idle after close";
    }
    const auto calls = EditorCalls();
    EXPECT_EQ(calls.back(), effEditClose);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), effEditClose), 1);
}

TEST_F(PluginEditorWindowTest, EditButtonHoldsThePanelShutWhileTheEditorIsOpen) {
    QWidget owner;
    UserMessages messages(owner);
    ControlPanel panel(*engine, messages, &owner);
    int refreshes = 0;
    panel.repaintEditors = [&] { ++refreshes; };

    panel.Button(kEditPlugin)->click(); // empty slot: only a refresh
    EXPECT_EQ(refreshes, 1);

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
            window->close();
            return true;
        },
        &owner);
    panel.Button(kEditPlugin)->click();
    EXPECT_TRUE(wasShut);
    EXPECT_TRUE(panel.Ready());
    EXPECT_EQ(engine->song.settings.masterVolume, kDefaultMasterVolume);
    EXPECT_EQ(panel.Slider(kVolumeSlider)->value(), kDefaultMasterVolume) << "refreshed after";
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(Log().DispatchesOf(effEditClose).size(), 1u);
}

} // namespace
} // namespace vantreel::test
