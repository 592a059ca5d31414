// LV2 instruments' own editors in real X11 windows on a private Xvfb display:
// Nekobi's (DPF), synthv1's and drumkv1's (Qt) open in the editor window, draw,
// idle and close, twice in a row; Kars has none, and "Edit..." says so. And, since
// only here do synthv1 and drumkv1 run their threads in our Qt application, closing
// them right after loading must leave the program running.
//
// The outer test starts this same test program under Xvfb, running only the inner
// tests, which skip themselves anywhere else.

#include "InnerTestRun.h"
#include "PanelTestSupport.h"

#include "plugins/Lv2Name.h"
#include "shell/ControlPanel.h"
#include "shell/PluginEditorWindow.h"
#include "shell/UserMessages.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>

namespace vantreel::test {
namespace {

constexpr int kRunTimeoutMilliseconds = 180000;
const char* const kInsideVariable = "VANTREEL_LV2_EDITORS_UNDER_XVFB";
const char* const kDebianLv2Folder = "/usr/lib/lv2";

TEST(Lv2EditorsUnderXvfb, RunInsideAPrivateDisplay) {
    RunInnerTestsUnderXvfb({.insideVariable = kInsideVariable,
                            .filter = "*Lv2EditorsInside.*",
                            .expectedPasses = 5,
                            .timeoutMilliseconds = kRunTimeoutMilliseconds});
}

class Lv2EditorsInside : public PanelEngineTest {
protected:
    ScopedVariable debianLv2Path{"LV2_PATH", std::string(kDebianLv2Folder)};

    void SetUp() override {
        if (!qEnvironmentVariableIsSet(kInsideVariable)) {
            GTEST_SKIP() << "runs inside Lv2EditorsUnderXvfb only";
        }
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        PanelEngineTest::SetUp();
    }

    static bool Installed(const char* bundle) {
        return QFileInfo::exists(QString(kDebianLv2Folder) + "/" + bundle);
    }

    void Load(const char* bundle, const std::string& uri) {
        if (!Installed(bundle)) {
            GTEST_SKIP() << bundle << " is not installed";
        }
        ASSERT_TRUE(engine->LoadPlugin(0, Lv2NameFor(uri).c_str())) << engine->LastPluginError();
        engine->editor.currentSlot = 0;
    }

    static QImage Shown(PluginEditorWindow& window) {
        return window.screen()->grabWindow(window.HostWindow().winId()).toImage();
    }

    // Opens the editor, lets it idle, looks at what it drew and closes it; twice,
    // with the same instance. A parameter moved meanwhile reaches the editor.
    void OpenDrawAndCloseTwice(const char* bundle, const std::string& uri, const char* name) {
        Load(bundle, uri);
        if (HasFatalFailure() || IsSkipped()) {
            return;
        }
        ASSERT_TRUE(PluginEditorWindow::CanOpen(*engine));
        AEffect& effect = *engine->effect[0];
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(std::string(name) + ", opening " + std::to_string(round));
            PluginEditorWindow window(*engine, effect, nullptr);
            EXPECT_EQ(window.windowTitle().toStdString(), name);
            window.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            QTest::qWait(1500); // the editor paints from its idle calls
            EXPECT_GT(window.HostWindow().width(), 100);
            EXPECT_GT(window.HostWindow().height(), 100);
            ExpectDrawn(Shown(window), window.palette().color(QPalette::Window).rgb());
            effect.setParameter(&effect, 0, round == 1 ? 1.0f : 0.0f);
            QTest::qWait(3 * PluginEditorWindow::kIdleMilliseconds);
            window.close();
            QTest::qWait(100);
        }
        EXPECT_EQ(effect.getParameter(&effect, 0), 0.0f);
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
        EXPECT_GT(drawn, total / 10) << "the window shows hardly any drawing";
    }
};

TEST_F(Lv2EditorsInside, NekobiOpensDrawsIdlesAndClosesTwice) {
    OpenDrawAndCloseTwice("Nekobi.lv2", "http://distrho.sf.net/plugins/Nekobi", "Nekobi");
}

TEST_F(Lv2EditorsInside, Synthv1OpensDrawsIdlesAndClosesTwice) {
    OpenDrawAndCloseTwice("synthv1.lv2", "http://synthv1.sourceforge.net/lv2", "synthv1");
}

TEST_F(Lv2EditorsInside, Drumkv1OpensDrawsIdlesAndClosesTwice) {
    OpenDrawAndCloseTwice("drumkv1.lv2", "http://drumkv1.sourceforge.net/lv2", "drumkv1");
}

// Kars comes without an editor: "Edit..." opens none and says so.
TEST_F(Lv2EditorsInside, KarsWithoutAnEditorSaysSo) {
    Load("Kars.lv2", "http://distrho.sf.net/plugins/Kars");
    if (IsSkipped()) {
        return;
    }
    ASSERT_FALSE(PluginEditorWindow::CanOpen(*engine));
    QWidget owner;
    UserMessages messages(owner);
    ControlPanel panel(*engine, messages, &owner);
    QString said;
    WhenModal(
        [&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr) {
                return false;
            }
            said = box->text();
            box->close();
            return true;
        },
        &owner);
    panel.Button(kEditPlugin)->click();
    QTest::qWait(100);
    EXPECT_EQ(said.toStdString(), "Kars has no editor of its own.");
    EXPECT_TRUE(panel.Ready());
}

// Freed at once they abort the program ("QThread: Destroyed while thread is still
// running"); the adapter lets each live a quarter of a second first.
TEST_F(Lv2EditorsInside, QtInstrumentsUnloadedRightAfterLoadingLeaveTheProgramRunning) {
    for (const char* bundle : {"synthv1", "drumkv1"}) {
        if (!Installed((std::string(bundle) + ".lv2").c_str())) {
            continue;
        }
        const std::string name =
            Lv2NameFor(std::string("http://") + bundle + ".sourceforge.net/lv2");
        for (int round = 0; round < 3; ++round) {
            ASSERT_TRUE(engine->LoadPlugin(round % 2, name.c_str())) << engine->LastPluginError();
            engine->UnloadPlugin(round % 2);
        }
        ASSERT_TRUE(engine->LoadPlugin(0, name.c_str()));
        ASSERT_TRUE(engine->LoadPlugin(0, name.c_str())) << "replaced at once";
        engine->UnloadPlugin(0);
    }
}

} // namespace
} // namespace vantreel::test
