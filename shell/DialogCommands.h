#pragma once
// The menu commands that open this program's dialogs: New, Open and Save project and
// Audio setup (File), Pattern properties (Edit, Alt+Enter), About and Quick help (Help). Each is
// enabled as it is handled here.
//
// Threads: user-interface thread.

#include "shell/ProjectCommands.h"

#include <QString>

#include <functional>

class QWidget;

namespace vantreel {

class AudioEngine;
class CommandSet;
class UndoHistory;
class UserMessages;

class DialogCommands {
public:
    DialogCommands(AudioEngine& engine, UserMessages& messages, QWidget& window,
                   CommandSet& commands, std::function<void()> refreshControlPanel,
                   std::function<void(const QString&)> setStatusText);

    ProjectCommands& Project() { return project; }
    // Where Pattern properties records and what New and Open empty.
    void SetHistory(UndoHistory* undoHistory);

private:
    AudioEngine& engine;
    UserMessages& messages;
    QWidget& window;
    std::function<void()> refreshControlPanel;
    UndoHistory* history = nullptr;
    ProjectCommands project;
};

} // namespace vantreel
