#include "shell/MainMenu.h"

#include "shell/CommandSet.h"

#include <QMenu>
#include <QMenuBar>

namespace vantreel {

void BuildMainMenu(QMenuBar& menuBar, const CommandSet& commands) {
    QMenu* menu = nullptr;
    MenuName current = MenuName::None;
    for (const CommandInfo& command : CommandTable()) {
        if (command.menu == MenuName::None) {
            continue;
        }
        if (command.menu != current) {
            current = command.menu;
            menu = menuBar.addMenu(MenuTitle(current));
        } else if (command.separatorBefore) {
            menu->addSeparator();
        }
        menu->addAction(&commands.Action(command.id));
    }
}

} // namespace vantreel
