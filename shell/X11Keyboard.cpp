#include "shell/X11Keyboard.h"

#include "shell/X11Display.h"

#include <X11/XKBlib.h>

namespace vantreel {

namespace {

bool IndicatorOn(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    Bool on = False;
    if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) {
        return false;
    }
    return on;
}

} // namespace

std::optional<LockKeyState> QueryLockKeys() {
    Display* display = X11Display();
    if (!display) {
        return std::nullopt;
    }
    return LockKeyState{IndicatorOn(display, "Caps Lock"), IndicatorOn(display, "Num Lock"),
                        IndicatorOn(display, "Scroll Lock")};
}

unsigned long UnshiftedKeySymbol(unsigned int nativeScanCode) {
    Display* display = X11Display();
    const unsigned int kMinKeyCode = 8; // X11 key codes run from 8 to 255
    const unsigned int kMaxKeyCode = 255;
    if (!display || nativeScanCode < kMinKeyCode || nativeScanCode > kMaxKeyCode) {
        return 0;
    }
    const KeySym symbol = XkbKeycodeToKeysym(display, KeyCode(nativeScanCode), 0, 0);
    return symbol == NoSymbol ? 0 : symbol;
}

} // namespace vantreel
