#include "shell/CommandSet.h"

#include <QWidget>

namespace vantreel {

CommandSet::CommandSet(QWidget& window) {
    for (const CommandInfo& command : CommandTable()) {
        auto* action = new QAction(command.text, &window);
        action->setShortcuts(command.keys);
        action->setStatusTip(StatusPromptOf(command));
        action->setToolTip(ToolTipOf(command));
        action->setCheckable(command.checkable);
        action->setEnabled(false);
        window.addAction(action);
        actions[command.id] = action;
    }
}

QAction& CommandSet::Action(CommandId id) const {
    return *actions.at(id);
}

void CommandSet::Handle(CommandId id, std::function<void()> handler) {
    QAction& action = Action(id);
    QObject::connect(&action, &QAction::triggered, &action, [handler] { handler(); });
    action.setEnabled(true);
}

bool CommandSet::IsAcceleratorKey(QKeyCombination key) const {
    return ActionForKey(key) != nullptr;
}

QAction* CommandSet::ActionForKey(QKeyCombination key) const {
    const QKeySequence pressed(key);
    for (const CommandInfo& command : CommandTable()) {
        for (const QKeySequence& sequence : command.keys) {
            if (sequence == pressed) {
                return actions.at(command.id);
            }
        }
    }
    return nullptr;
}

void CommandSet::SetEnabled(CommandId id, bool enabled) {
    QAction& action = Action(id);
    if (action.isEnabled() != enabled) {
        action.setEnabled(enabled);
    }
}

void CommandSet::SetChecked(CommandId id, bool checked) {
    QAction& action = Action(id);
    if (action.isChecked() != checked) {
        action.setChecked(checked);
    }
}

} // namespace vantreel
