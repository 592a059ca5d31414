#include "shell/ToolBar.h"

#include "shell/CommandSet.h"
#include "shell/Icons.h"

#include <QToolButton>

namespace vantreel {

namespace {

constexpr QSize kButtonPictureSize(16, 15);
constexpr CommandId kSeparator = CommandId(0);

// Left to right; the separator splits the document commands from the transport.
constexpr CommandId kButtons[] = {
    kCmdBlockCut,    kCmdBlockCopy, kCmdBlockPaste, kCmdPrint,          kCmdAbout,       kSeparator,
    kCmdPlayPattern, kCmdPlaySong,  kCmdStop,       kCmdToggleEditMode, kCmdSlaveCursor,
};

} // namespace

ToolBar::ToolBar(const CommandSet& commands, QWidget* parent) : QToolBar("Toolbar", parent) {
    setObjectName("ToolBar");
    setIconSize(kButtonPictureSize);
    setMovable(true); // shows the gripper
    setAllowedAreas(Qt::AllToolBarAreas);
    for (CommandId id : kButtons) {
        if (id == kSeparator) {
            addSeparator();
            continue;
        }
        QAction& action = commands.Action(id);
        action.setIcon(CommandIcon(id));
        action.setIconVisibleInMenu(false);
        addAction(&action);
        if (auto* button = qobject_cast<QToolButton*>(widgetForAction(&action))) {
            button->setAutoRaise(false); // raised buttons, not flat ones
            button->setFocusPolicy(Qt::NoFocus);
        }
    }
}

} // namespace vantreel
