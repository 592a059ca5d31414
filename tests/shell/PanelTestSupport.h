#pragma once
// What the control panel and dialog tests share: an engine without an output
// thread in an environment of its own (empty settings file, VST_PATH naming only a
// scratch folder, an empty LV2 path), our probe plug-in loaded into a slot, and a way to act on the
// next modal window the code under test opens.

#include "engine/AudioEngine.h"
#include "plugins/PluginCalls.h"
#include "support/ScopedEnvironment.h"
#include "support/ScratchFolder.h"
#include "testplugins/probe/ProbeLog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vantreel::test {

inline const std::string kOwnPluginDir = VANTREEL_PLUGIN_OUTPUT_DIR;
constexpr const char* kProbeFile = "VantreelProbe.so";
constexpr const char* kSynthFile = "VantreelSynth.so";

using ScopedVariable = test::ScopedEnvironment;
using Scratch = test::ScratchFolder;

inline void SetPluginFolderText(AudioEngine& engine, const std::string& folder) {
    std::memset(engine.pluginFolder, 0, sizeof engine.pluginFolder);
    std::memcpy(engine.pluginFolder, folder.data(), folder.size());
}

// Calls `act` with the active modal window every few milliseconds until it returns
// true (it acted) or a few seconds have passed, or `context` is destroyed. Set it up
// before the code that opens the window runs.
inline void WhenModal(std::function<bool(QWidget*)> act, QObject* context = qApp) {
    constexpr int kPollMilliseconds = 10;
    constexpr int kGiveUpPolls = 500;
    auto* poll = new QTimer(context);
    auto polls = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, polls, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((modal != nullptr && act(modal)) || ++*polls > kGiveUpPolls) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(kPollMilliseconds);
}

// Types `path` (absolute) into a file dialog's name field and confirms, as a user
// may in any file dialog; a dialog that stays open after it is a failure and is
// closed, so no test waits on it for ever.
inline void ConfirmFileDialog(QFileDialog& dialog, const QString& path) {
    auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
    if (name == nullptr) {
        ADD_FAILURE() << "the file dialog has no name field";
    } else {
        name->setText(path);
        QMetaObject::invokeMethod(&dialog, "accept");
    }
    if (dialog.isVisible()) {
        ADD_FAILURE() << "the file dialog did not take " << path.toStdString();
        QMetaObject::invokeMethod(&dialog, "reject");
    }
}

// An engine in a private environment, its plug-in folder our own build output.
class PanelEngineTest : public testing::Test {
protected:
    Scratch scratch;
    ScopedVariable config{"XDG_CONFIG_HOME", scratch.MakeFolder("config")};
    ScopedVariable vstPath{"VST_PATH", scratch.MakeFolder("shared")};
    // No LV2 instruments unless a test puts some on the path.
    ScopedVariable lv2Path{"LV2_PATH", scratch.MakeFolder("lv2")};
    std::unique_ptr<AudioEngine> engine = std::make_unique<AudioEngine>(OutputMode::CallerDriven);
    probe::ProbeApi probe = probe::ProbeApi::Open((kOwnPluginDir + "/" + kProbeFile).c_str());

    void SetUp() override { SetPluginFolderText(*engine, kOwnPluginDir); }

    // Loads the probe into `slot`, makes it the current slot and empties its log.
    void LoadProbe(int slot = 0) {
        ASSERT_TRUE(probe.Ok()) << "the probe plug-in was not built in " << kOwnPluginDir;
        ASSERT_TRUE(engine->LoadPlugin(slot, kProbeFile)) << engine->LastPluginError();
        engine->editor.currentSlot = slot;
        probe.clearLog(engine->LivePlugin(slot));
    }
    // The raw field: the log of an instance the test has closed is still read.
    probe::ProbeLog& Log(int slot = 0) { return *probe.log(engine->effect[slot]); }
    AEffect& Effect(int slot = 0) { return *engine->LivePlugin(slot); }
    float Parameter(int index, int slot = 0) {
        return Effect(slot).getParameter(&Effect(slot), index);
    }
    int Program(int slot = 0) { return int(plugin::GetProgram(&Effect(slot))); }
};

} // namespace vantreel::test
