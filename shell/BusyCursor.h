#pragma once
// Shows the busy cursor over the whole application while it lives. Release() puts
// the normal cursor back early, before a question is asked.

#include <QCursor>
#include <QGuiApplication>

namespace vantreel {

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { Release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void Release() {
        if (active) {
            active = false;
            QGuiApplication::restoreOverrideCursor();
        }
    }

private:
    bool active = true;
};

} // namespace vantreel
