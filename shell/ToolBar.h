#pragma once
// The button strip below the menu: clipboard, print, about, then the transport and
// the edit and slave switches. Buttons are the commands' own actions, so they are
// enabled, checked and prompted exactly like the menu items.

#include <QToolBar>

namespace vantreel {

class CommandSet;

class ToolBar : public QToolBar {
    Q_OBJECT
public:
    ToolBar(const CommandSet& commands, QWidget* parent);
};

} // namespace vantreel
