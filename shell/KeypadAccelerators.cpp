#include "shell/KeypadAccelerators.h"

#include "shell/CommandSet.h"

#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>

namespace vantreel {

KeypadAccelerators::KeypadAccelerators(QWidget& window, const CommandSet& commands)
    : window(window), commands(commands) {
    qApp->installEventFilter(this);
}

KeypadAccelerators::~KeypadAccelerators() {
    qApp->removeEventFilter(this);
}

bool KeypadAccelerators::InsideWindow(const QObject* watched) const {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    const QWidget* top = widget->window();
    // A floating dock is a window of its own but still belongs to the main window.
    if (qobject_cast<const QDockWidget*>(top) != nullptr && top->parentWidget() != nullptr) {
        top = top->parentWidget()->window();
    }
    return top == &window;
}

bool KeypadAccelerators::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->modifiers().testFlag(Qt::KeypadModifier) || !InsideWindow(watched)) {
        return false;
    }
    QAction* action = commands.ActionForKey(key->keyCombination());
    if (action == nullptr) {
        return false; // keypad digits and Enter are the editors' keys
    }
    // Like any accelerator, a key of a disabled command does nothing, and is not typed.
    if (action->isEnabled()) {
        action->trigger();
    }
    return true;
}

} // namespace vantreel
