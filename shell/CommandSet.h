#pragma once
// One QAction per command of the table, owned by the main window. A command starts
// disabled and becomes enabled when something handles it, so a command that nobody
// handles shows disabled in the menu and on the tool bar.

#include "shell/CommandTable.h"

#include <QAction>
#include <QKeyCombination>

#include <functional>
#include <map>

class QWidget;

namespace vantreel {

class CommandSet {
public:
    // Creates the actions as children of `window` and adds them to it, so their keys
    // act wherever the focus is inside the window.
    explicit CommandSet(QWidget& window);

    QAction& Action(CommandId id) const;
    // Runs `handler` when the command is chosen, and enables the command.
    void Handle(CommandId id, std::function<void()> handler);
    // True for a key of any command, enabled or not: such keys are accelerators and
    // never reach the editors as typing.
    bool IsAcceleratorKey(QKeyCombination key) const;
    // The action whose keys include `key`, enabled or not; null for any other key.
    QAction* ActionForKey(QKeyCombination key) const;
    void SetChecked(CommandId id, bool checked);
    // For a handled command that can only run at times (Undo, Redo).
    void SetEnabled(CommandId id, bool enabled);

private:
    std::map<CommandId, QAction*> actions;
};

} // namespace vantreel
