#pragma once
// Quick help (Help menu): a message box listing keys the menus do not show.

namespace vantreel {

class UserMessages;

// User-interface thread; changes nothing, so it may run during playback.
void ShowQuickHelp(UserMessages& messages);

} // namespace vantreel
