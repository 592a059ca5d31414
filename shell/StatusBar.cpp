#include "shell/StatusBar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QWindow>

namespace vantreel {

namespace {

void Light(QLabel& indicator, bool on) {
    const QString text = on ? indicator.objectName() : QString();
    if (indicator.text() != text) {
        indicator.setText(text);
    }
}

} // namespace

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent), pane(new QLabel(this)) {
    setObjectName("StatusBar");
    setSizeGripEnabled(true);
    addWidget(pane, 1);
    caps = AddIndicator("CAP");
    num = AddIndicator("NUM");
    scroll = AddIndicator("SCRL");
    QCoreApplication::instance()->installEventFilter(this);
    RefreshLockKeys();
}

QLabel* StatusBar::AddIndicator(const QString& text) {
    auto* indicator = new QLabel(this);
    indicator->setObjectName(text); // the text it shows when lit
    indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    indicator->setAlignment(Qt::AlignCenter);
    const int margin = 8;
    indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(text) + margin);
    addPermanentWidget(indicator);
    return indicator;
}

void StatusBar::SetMessage(const QString& text) {
    message = text;
    pane->setText(text);
}

QString StatusBar::Message() const {
    return pane->text();
}

void StatusBar::ShowPrompt(const QString& prompt) {
    pane->setText(prompt.isEmpty() ? message : prompt);
}

void StatusBar::ShowLockKeys(const LockKeyState& state) {
    Light(*caps, state.capsLock);
    Light(*num, state.numLock);
    Light(*scroll, state.scrollLock);
}

void StatusBar::RefreshLockKeys() {
    ShowLockKeys(QueryLockKeys().value_or(LockKeyState{}));
}

bool StatusBar::eventFilter(QObject* watched, QEvent* event) {
    // Key events pass through the window first, then through each widget they
    // propagate to: looking at the window's copy asks once per key.
    const bool windowKey = qobject_cast<QWindow*>(watched) != nullptr;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (windowKey) {
            RefreshLockKeys();
        }
        break;
    case QEvent::ApplicationActivate:
        RefreshLockKeys();
        break;
    default:
        break;
    }
    return QStatusBar::eventFilter(watched, event);
}

} // namespace vantreel
