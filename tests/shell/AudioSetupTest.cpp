// The audio setup window offscreen, what it remembers, and what the main window says
// about the output: a remembered output that fails at start, and dropouts.

#include "PanelTestSupport.h"

#include "shell/AudioSetupDialog.h"
#include "shell/AudioSetupStore.h"
#include "shell/MainFrame.h"
#include "shell/StatusBar.h"
#include "shell/UserMessages.h"
#include "support/JackServer.h"
#include "support/ScopedEnvironment.h"
#include "support/ScratchFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace vantreel::test {
namespace {

const std::vector<OutputSystemInfo> kSystems = {
    {"jack", "JACK", {"system"}, "system"},
    {"alsa", "ALSA", {"default", "hw:Card,0"}, "default"},
};

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int n = 0; n < list.count(); ++n) {
        items << list.itemText(n);
    }
    return items;
}

// Reads the next message box's text and closes it.
void ReadNextBox(QString& text) {
    WhenModal([&text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr) {
            return false;
        }
        text = box->text();
        box->button(QMessageBox::Ok)->click();
        return true;
    });
}

class AudioSetupTest : public testing::Test {
protected:
    ScratchFolder scratch;
    ScopedEnvironment config{"XDG_CONFIG_HOME", scratch.MakeFolder("config")};
};

TEST_F(AudioSetupTest, ListsSystemsDevicesAndBufferSizesWithTheirLatency) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::Paced, OutputChoice{"", "", 512});
    AudioSetupDialog dialog(*engine, kSystems, {"alsa", "hw:Card,0", 256});
    EXPECT_EQ(dialog.windowTitle(), "Audio setup");
    EXPECT_EQ(Items(dialog.SystemList()),
              QStringList({"First that finds a device", "JACK", "ALSA"}));
    EXPECT_EQ(dialog.SystemList().currentText(), "ALSA");
    EXPECT_EQ(Items(dialog.DeviceList()), QStringList({"Default device", "default", "hw:Card,0"}));
    EXPECT_EQ(dialog.DeviceList().currentText(), "hw:Card,0");
    EXPECT_EQ(Items(dialog.BufferList()), QStringList({"128 frames", "256 frames", "512 frames",
                                                       "1024 frames", "2048 frames"}));
    EXPECT_EQ(dialog.LatencyText().text().toStdString(), "5.8 ms (256 frames at 44100 Hz)");
    EXPECT_EQ(dialog.OutputText().text().toStdString(),
              "null output, no sound device: 512 frames at 44100 Hz");
    EXPECT_EQ(dialog.RateText().text().toStdString(),
              "The device runs at the song's rate, 44100 Hz.");
    EXPECT_EQ(dialog.DropoutText().text().toStdString(), "0");

    dialog.BufferList().setCurrentIndex(4);
    EXPECT_EQ(dialog.LatencyText().text().toStdString(), "46.4 ms (2048 frames at 44100 Hz)");
    dialog.SystemList().setCurrentIndex(1);
    EXPECT_EQ(Items(dialog.DeviceList()), QStringList({"Default device", "system"}));
    EXPECT_EQ(dialog.Choice(), (OutputChoice{"jack", "", 2048}));
}

TEST_F(AudioSetupTest, AChoiceNotOfferedShowsTheDefaults) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    AudioSetupDialog dialog(*engine, kSystems, {"oss", "dsp", 333});
    EXPECT_EQ(dialog.Choice(), (OutputChoice{"", "", 2048}));
    EXPECT_EQ(dialog.OutputText().text().toStdString(), "No output");
}

TEST_F(AudioSetupTest, AFailingOutputSaysWhyPlaysTheNullOutputAndIsRemembered) {
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    QWidget window;
    UserMessages messages(window);
    RegistryStore store;
    QString text;
    ReadNextBox(text);
    const OutputChoice choice{"no-such-system", "card", 256};
    EXPECT_FALSE(ApplyOutputChoice(*engine, messages, store, choice));
    EXPECT_TRUE(text.contains("could not be opened")) << text.toStdString();
    EXPECT_TRUE(text.contains("no-such-system")) << text.toStdString();
    EXPECT_EQ(engine->CurrentOutput().system, "null output");
    EXPECT_EQ(engine->CurrentOutput().bufferFrames, 256);

    RegistryStore again;
    EXPECT_EQ(LoadOutputChoice(again), choice);
}

TEST_F(AudioSetupTest, StoredChoicesRoundTripAndDamagedSizesFallBack) {
    RegistryStore store;
    EXPECT_EQ(LoadOutputChoice(store), std::nullopt);
    ASSERT_TRUE(StoreOutputChoice(store, {"pulse", "Speakers", 128}));
    EXPECT_EQ(LoadOutputChoice(store), (OutputChoice{"pulse", "Speakers", 128}));
    ASSERT_TRUE(StoreOutputChoice(store, {"", "", 1024}));
    EXPECT_EQ(LoadOutputChoice(store), (OutputChoice{"", "", 1024}));
    ASSERT_TRUE(store.WriteString("BufferFrames", "12x"));
    EXPECT_EQ(LoadOutputChoice(store)->bufferFrames, 2048);
    ASSERT_TRUE(store.WriteString("BufferFrames", "300"));
    EXPECT_EQ(LoadOutputChoice(store)->bufferFrames, 2048);
}

TEST_F(AudioSetupTest, ARememberedOutputThatFailsIsReportedAtStart) {
    RegistryStore store;
    ASSERT_TRUE(StoreOutputChoice(store, {"no-such-system", "", 256}));
    QString text;
    ReadNextBox(text);
    CMainFrame frame;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000));
    EXPECT_TRUE(text.contains("no-such-system")) << text.toStdString();
    EXPECT_EQ(frame.Engine().CurrentOutput().system, "null output");
    EXPECT_EQ(frame.Engine().CurrentOutput().bufferFrames, 256);
}

TEST_F(AudioSetupTest, TheFileMenuOpensTheWindowAndCancelChangesNothing) {
    CMainFrame frame(OutputMode::CallerDriven);
    bool seen = false;
    WhenModal([&seen](QWidget* modal) {
        if (modal->objectName() != "AudioSetupDialog") {
            return false;
        }
        seen = true;
        static_cast<QDialog*>(modal)->reject();
        return true;
    });
    frame.Commands().Action(kCmdAudioSetup).trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(frame.Engine().CurrentOutput().sampleRate, 0) << "no output was opened";
    RegistryStore store;
    EXPECT_EQ(LoadOutputChoice(store), std::nullopt);
}

TEST_F(AudioSetupTest, DropoutsShowInTheStatusLine) {
    CMainFrame frame(OutputMode::CallerDriven);
    AudioEngine& engine = frame.Engine();
    ASSERT_TRUE(engine.Feed().Prepare(44100, 44100, 256));
    std::vector<int16_t> buffer(2 * 256);
    engine.Feed().Fill(buffer.data(), 256, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.Status().Message() == "Audio dropout"; },
                                2 * CMainFrame::kRefreshMilliseconds + 1000));
}

// A JACK server at 48000 Hz: the window says the song's rate is converted.
TEST_F(AudioSetupTest, TheWindowSaysWhenTheRateIsConverted) {
    JackServer jack(48000, 256);
    if (!jack.Running()) {
        GTEST_SKIP() << "no JACK server: " << jack.Problem();
    }
    auto engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    ASSERT_TRUE(engine->ReopenOutput({"jack", "", 256})) << engine->OutputProblem();
    AudioSetupDialog dialog(*engine, kSystems, {"jack", "", 256});
    EXPECT_EQ(dialog.RateText().text().toStdString(),
              "The device runs at 48000 Hz: the song's 44100 Hz are converted.");
    EXPECT_EQ(dialog.LatencyText().text().toStdString(), "5.3 ms (256 frames at 48000 Hz)");
    EXPECT_EQ(dialog.OutputText().text().toStdString(), "Jack, system: 256 frames at 48000 Hz");
}

} // namespace
} // namespace vantreel::test
