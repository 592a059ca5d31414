#include "shell/DialogCommands.h"

#include "shell/AboutDialog.h"
#include "shell/AudioSetupDialog.h"
#include "shell/CommandSet.h"
#include "shell/PatternPropertiesDialog.h"
#include "shell/QuickHelpDialog.h"

namespace vantreel {

DialogCommands::DialogCommands(AudioEngine& engine, UserMessages& messages, QWidget& window,
                               CommandSet& commands, std::function<void()> refreshControlPanel,
                               std::function<void(const QString&)> setStatusText)
    : engine(engine), messages(messages), window(window),
      refreshControlPanel(std::move(refreshControlPanel)), project(engine, messages, window) {
    project.refreshControlPanel = this->refreshControlPanel;
    project.setStatusText = std::move(setStatusText);
    commands.Handle(kCmdNewProject, [this] { project.New(); });
    commands.Handle(kCmdOpenProject, [this] { project.Open(); });
    commands.Handle(kCmdSaveProject, [this] { project.Save(); });
    commands.Handle(kCmdAudioSetup,
                    [this] { RunAudioSetup(this->engine, this->messages, &this->window); });
    commands.Handle(kCmdPatternProperties, [this] {
        RunPatternProperties(this->engine, &this->window, this->refreshControlPanel, this->history);
    });
    commands.Handle(kCmdQuickHelp, [this] { ShowQuickHelp(this->messages); });
    commands.Handle(kCmdAbout, [this] {
        AboutDialog about(&this->window);
        about.exec();
    });
}

void DialogCommands::SetHistory(UndoHistory* undoHistory) {
    history = undoHistory;
    project.history = undoHistory;
}

} // namespace vantreel
