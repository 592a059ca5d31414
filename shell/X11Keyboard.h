#pragma once
// What only the X11 platform (xcb, also under XWayland) tells about the keyboard:
// the lock keys' state and the unshifted symbol of a key. Elsewhere both are unknown.

#include <optional>

namespace vantreel {

struct LockKeyState {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
    bool operator==(const LockKeyState&) const = default;
};

// User-interface thread. Empty when the platform cannot tell.
std::optional<LockKeyState> QueryLockKeys();

// User-interface thread. The character a key gives without Shift in the first layout
// group ('a'..'z', '0'..'9', ...), from its native scan code; 0 when unknown.
unsigned long UnshiftedKeySymbol(unsigned int nativeScanCode);

} // namespace vantreel
