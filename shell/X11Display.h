#pragma once
// Qt's own connection to the X server, for the few things only Xlib tells or does.
// Xlib's header stays out of here: its macros clash with Qt's names.
//
// Threads: the user-interface thread only.

struct _XDisplay;

namespace vantreel {

// The connection, or null when the platform is not X11 (offscreen, Wayland).
_XDisplay* X11Display();

// Sends everything queued on the connection and waits until the server has done it,
// so another connection (a plug-in's own) finds the windows just created.
void SyncX11();

} // namespace vantreel
