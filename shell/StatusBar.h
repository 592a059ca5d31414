#pragma once
// The status bar: the message pane, which shows every status text and, while a menu
// item or button is highlighted, its prompt; then the "CAP", "NUM" and "SCRL"
// indicators.

#include "shell/X11Keyboard.h"

#include <QStatusBar>

class QLabel;

namespace vantreel {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent);

    void SetMessage(const QString& text);
    QString Message() const; // what the pane shows now
    // A highlighted command's prompt; an empty prompt puts the message back.
    void ShowPrompt(const QString& prompt);
    // Lit indicators show their text, dark ones stay blank.
    void ShowLockKeys(const LockKeyState& state);
    // Asks the windowing system for the lock keys; they stay dark where it cannot
    // tell. Runs by itself after every key event of the application.
    void RefreshLockKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* AddIndicator(const QString& text);

    QString message;
    QLabel* pane;
    QLabel* caps;
    QLabel* num;
    QLabel* scroll;
};

} // namespace vantreel
