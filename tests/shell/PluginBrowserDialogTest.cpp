// The plug-in browser and the panel's "Open...": what it lists and where from, the
// folder change with its notice, and loading the picked file into the slot.

#include "PanelTestSupport.h"

#include "shell/ControlPanel.h"
#include "shell/PanelText.h"
#include "shell/PluginBrowserDialog.h"
#include "shell/UserMessages.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <fstream>

namespace vantreel::test {
namespace {

class PluginBrowserTest : public PanelEngineTest {
protected:
    QWidget owner;
    UserMessages messages{owner};
    std::vector<QString> boxes; // "caption|text" of every box answered

    void SetUp() override {
        PanelEngineTest::SetUp();
        engine->reporter.SetHandler([this](const UserMessage& message) { messages.Show(message); });
    }

    // Answers every message box with OK from now on, noting it.
    void AcknowledgeBoxes() {
        WhenModal(
            [this](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    boxes.push_back(box->windowTitle() + "|" + box->text());
                    EXPECT_EQ(box->windowTitle() == "Kelvo - VST",
                              box->icon() == QMessageBox::Warning);
                    box->button(QMessageBox::Ok)->click();
                }
                return false;
            },
            &owner);
    }

    std::string MakeLibraries(const std::string& folder, std::initializer_list<const char*> names) {
        const std::string path = scratch.MakeFolder(folder);
        for (const char* name : names) {
            std::ofstream(path + "/" + name) << "not really a library";
        }
        return path;
    }

    static QStringList Entries(PluginBrowserDialog& browser) {
        QStringList entries;
        for (int row = 0; row < browser.List().count(); ++row) {
            entries << browser.List().item(row)->text();
        }
        return entries;
    }
};

TEST_F(PluginBrowserTest, OpensOnTheFirstFolderOfTheSearchPathSortedByName) {
    const std::string folder =
        MakeLibraries("shared", {"zeta.so", "Alpha.so", "beta.SO", "notes.txt"});
    PluginBrowserDialog browser(*engine, messages);
    EXPECT_EQ(browser.windowTitle(), "Plugin browser");
    EXPECT_EQ(browser.PathField().text().toStdString(), folder);
    EXPECT_EQ(std::string(engine->pluginFolder), folder);
    const QStringList entries = Entries(browser);
    // Our own plug-in folder is always on the path, so its files are offered too.
    EXPECT_TRUE(entries.contains("VantreelSynth.so"));
    QStringList ours = entries.filter(QRegularExpression("^(Alpha|beta|zeta)"));
    EXPECT_EQ(ours, QStringList({"Alpha.so", "beta.SO", "zeta.so"}));
    QStringList sorted = entries;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(entries, sorted);
    EXPECT_FALSE(browser.RefreshButton().isEnabled());
    // The first entry is picked already, so Enter right away loads something real.
    EXPECT_EQ(browser.SelectedName(), entries.first().toStdString());
    EXPECT_EQ(browser.NameField().text(), entries.first());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PluginBrowserTest, SelectingShowsTheNameAndDoubleClickOrEnterConfirms) {
    MakeLibraries("shared", {"Alpha.so"});
    {
        PluginBrowserDialog browser(*engine, messages);
        browser.show();
        const auto found = browser.List().findItems("Alpha.so", Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        found.front()->setSelected(true);
        EXPECT_EQ(browser.NameField().text(), "Alpha.so");
        EXPECT_EQ(browser.SelectedName(), "Alpha.so");
        Q_EMIT browser.List().itemDoubleClicked(found.front());
        EXPECT_EQ(browser.result(), QDialog::Accepted);
    }
    {
        PluginBrowserDialog browser(*engine, messages);
        browser.show();
        QTest::keyClick(&browser.List(), Qt::Key_Return);
        EXPECT_EQ(browser.result(), QDialog::Accepted);
        EXPECT_EQ(browser.SelectedName(), "Alpha.so");
    }
}

TEST_F(PluginBrowserTest, ATypedFolderIsListedByRefreshAfterTheNotice) {
    const std::string other = MakeLibraries("other", {"Gamma.so"});
    AcknowledgeBoxes();
    PluginBrowserDialog browser(*engine, messages);
    browser.show();
    browser.PathField().setFocus();
    browser.PathField().selectAll();
    QTest::keyClicks(&browser.PathField(), QString::fromStdString(other));
    EXPECT_TRUE(browser.RefreshButton().isEnabled());
    QTest::keyClick(&browser.PathField(), Qt::Key_Return); // lists, does not load
    EXPECT_TRUE(browser.isVisible());
    EXPECT_EQ(std::string(engine->pluginFolder), other);
    EXPECT_TRUE(Entries(browser).contains("Gamma.so"));
    EXPECT_FALSE(browser.RefreshButton().isEnabled());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Kelvo - VST|Notice: you must have copy any plugins you already used to "
                        "new path, in order to be able load your song later.");
}

TEST_F(PluginBrowserTest, AFolderTooLongForTheSongIsRefusedWithAMessage) {
    const std::string folder = MakeLibraries("shared", {"Alpha.so"});
    AcknowledgeBoxes();
    PluginBrowserDialog browser(*engine, messages);
    browser.PathField().setText(QString("/") + QString(70, 'x'));
    browser.RefreshFolder();
    EXPECT_EQ(std::string(engine->pluginFolder), folder);
    EXPECT_EQ(browser.PathField().text().toStdString(), folder);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[1].startsWith("Vantreel|"));
}

TEST_F(PluginBrowserTest, BrowsePicksAFolderAndListsOnlyIt) {
    const std::string shared = MakeLibraries("shared", {"Alpha.so"});
    const std::string other = MakeLibraries("picked", {"Epsilon.so", "Delta.so"});
    WhenModal([&](QWidget* modal) {
        auto* picker = qobject_cast<QFileDialog*>(modal);
        if (picker == nullptr) {
            return false;
        }
        EXPECT_EQ(picker->windowTitle(), "Select your VST plugins folder:");
        EXPECT_EQ(picker->fileMode(), QFileDialog::Directory);
        EXPECT_EQ(picker->directory().absolutePath().toStdString(), shared) << "where it starts";
        ConfirmFileDialog(*picker, QString::fromStdString(other));
        AcknowledgeBoxes();
        return true;
    });
    PluginBrowserDialog browser(*engine, messages);
    browser.BrowseButton().click();
    EXPECT_EQ(std::string(engine->pluginFolder), other);
    EXPECT_EQ(Entries(browser), QStringList({"Delta.so", "Epsilon.so"}));
    EXPECT_EQ(browser.SelectedName(), "Delta.so");
    EXPECT_EQ(boxes.size(), 1u) << "the notice";
}

TEST_F(PluginBrowserTest, DebiansPluginsAreListedWithoutConfiguration) {
    if (!QDir("/usr/lib/vst").exists()) {
        GTEST_SKIP() << "no system VST folder";
    }
    ScopedVariable path("VST_PATH", std::nullopt);
    ScopedVariable home("HOME", scratch.MakeFolder("home"));
    PluginBrowserDialog browser(*engine, messages);
    EXPECT_EQ(browser.PathField().text(), "/usr/lib/vst");
    const QStringList entries = Entries(browser);
    const QStringList system = QDir("/usr/lib/vst").entryList({"*.so"}, QDir::Files);
    ASSERT_FALSE(system.isEmpty());
    for (const QString& file : system) {
        EXPECT_TRUE(entries.contains(file)) << file.toStdString();
    }
}

class OpenPluginTest : public PluginBrowserTest {
protected:
    ControlPanel panel{*engine, messages, &owner};
    QStringList statuses;

    void SetUp() override {
        PluginBrowserTest::SetUp();
        panel.setStatusText = [this](const QString& text) { statuses << text; };
        panel.Refresh();
    }

    // Picks `name` in the browser the button opens, by double-click (or Enter with
    // nothing picked when `name` is empty), or closes it.
    void PickInBrowser(const QString& name, bool confirm = true) {
        WhenModal([name, confirm](QWidget* modal) {
            auto* browser = qobject_cast<PluginBrowserDialog*>(modal);
            if (browser == nullptr) {
                return false;
            }
            if (!confirm) {
                browser->reject();
            } else if (name.isEmpty()) {
                QTest::keyClick(&browser->List(), Qt::Key_Return);
            } else {
                const auto found = browser->List().findItems(name, Qt::MatchExactly);
                EXPECT_EQ(found.size(), 1) << name.toStdString();
                if (!found.isEmpty()) {
                    found.front()->setSelected(true);
                    Q_EMIT browser->List().itemDoubleClicked(found.front());
                }
            }
            return true;
        });
    }
};

TEST_F(OpenPluginTest, LoadsThePickedPluginIntoTheCurrentSlot) {
    engine->editor.currentSlot = 4;
    panel.Refresh();
    PickInBrowser(kSynthFile);
    panel.Button(kOpenPlugin)->click();
    EXPECT_TRUE(engine->song.slots[4].IsInstanced());
    EXPECT_EQ(statuses, QStringList({"Plugin VantreelSynth.so instanced ok"}));
    EXPECT_EQ(panel.Text(kSlotText)->FullText(), "04: VantreelSynth.so");
    EXPECT_NE(panel.Text(kProgramText)->FullText(), "---");
}

TEST_F(OpenPluginTest, AnLv2InstrumentIsListedByItsNameMarkedAndLoadedByItsUri) {
    ScopedVariable lv2Path("LV2_PATH", std::string(VANTREEL_LV2_OUTPUT_DIR));
    engine->editor.currentSlot = 2;
    panel.Refresh();
    PickInBrowser("Vantreel LV2 Probe [LV2]");
    panel.Button(kOpenPlugin)->click();
    ASSERT_TRUE(engine->song.slots[2].IsInstanced());
    EXPECT_STREQ(engine->song.slots[2].dllName, "lv2:https://vantreel.example/lv2/probe");
    EXPECT_EQ(panel.Text(kSlotText)->FullText(), "02: Vantreel LV2 Probe");
    EXPECT_EQ(panel.Text(kProgramText)->FullText(), "00: Loud");
    EXPECT_EQ(panel.Text(kParameterText)->FullText(), "00: Level");
}

TEST_F(OpenPluginTest, ConfirmingWithoutAPickLoadsTheFirstEntry) {
    PickInBrowser("");
    panel.Button(kOpenPlugin)->click();
    EXPECT_TRUE(engine->song.slots[0].IsInstanced());
    EXPECT_EQ(statuses, QStringList({"Plugin VantreelProbe.so instanced ok"}));
}

// The status line is replaced within two seconds; the reason stays in a box.
TEST_F(OpenPluginTest, APluginThatFailsToLoadSaysWhyInABox) {
    MakeLibraries("shared", {"Broken.so"});
    AcknowledgeBoxes();
    PickInBrowser("Broken.so");
    panel.Button(kOpenPlugin)->click();
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
    EXPECT_EQ(statuses, QStringList({"Error creating Broken.so plugin"}));
    ASSERT_EQ(boxes.size(), 1u);
    const QString said = "Vantreel|Could not load the plug-in Broken.so: ";
    EXPECT_TRUE(boxes[0].startsWith(said)) << boxes[0].toStdString();
    EXPECT_GT(boxes[0].size(), said.size() + 4) << "the loader's reason";
}

TEST_F(OpenPluginTest, ClosingTheBrowserLoadsNothing) {
    PickInBrowser(kSynthFile, false);
    panel.Button(kOpenPlugin)->click();
    EXPECT_FALSE(engine->song.slots[0].IsInstanced());
    EXPECT_TRUE(statuses.isEmpty());
}

} // namespace
} // namespace vantreel::test
