#pragma once
// Modal message boxes of the main window. Reports raised by the audio thread are
// collected on the timer and shown here one box at a time: while any box of the
// window is open, further reports wait for the next tick after it closes.

#include "engine/Reporter.h"

#include <QMessageBox>

namespace vantreel {

class UserMessages {
public:
    explicit UserMessages(QWidget& owner) : owner(owner) {}

    // User-interface thread: a box with the message's caption, icon and text.
    void Show(const UserMessage& message);
    // User-interface thread: runs a box modally; returns the button chosen.
    int Exec(QMessageBox& box);
    // User-interface thread: shows the reports pending in `reporter`, unless a box
    // is already open.
    void ShowPendingReports(Reporter& reporter);

    bool BoxOpen() const { return openBoxes > 0; }
    QWidget& Owner() const { return owner; }

private:
    QWidget& owner;
    int openBoxes = 0;
};

} // namespace vantreel
