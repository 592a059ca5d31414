#include "shell/X11Display.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

namespace vantreel {

Display* X11Display() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

void SyncX11() {
    if (Display* display = X11Display()) {
        XSync(display, False);
    }
}

} // namespace vantreel
