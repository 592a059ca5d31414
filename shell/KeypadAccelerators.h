#pragma once
// The commands bound to keypad keys (+, -, * and / for the next and previous pattern
// and octave, Alt with the keypad's Enter for the pattern properties). Under X11 Qt
// does not match shortcuts that carry the keypad modifier, so these keys arrive as
// plain key presses; this filter matches them by the modifier and key code Qt
// reports and runs their command, wherever the focus is inside the main window (the
// floating control panel included). Where Qt does match them, the press never
// arrives here, so a command never runs twice.
//
// Threads: the user-interface thread only.

#include <QObject>

class QWidget;

namespace vantreel {

class CommandSet;

class KeypadAccelerators : public QObject {
public:
    // Watches every key press of the application while it lives.
    KeypadAccelerators(QWidget& window, const CommandSet& commands);
    ~KeypadAccelerators() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool InsideWindow(const QObject* watched) const;

    QWidget& window;
    const CommandSet& commands;
};

} // namespace vantreel
