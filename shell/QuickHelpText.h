#pragma once
// The quick help: the keys and the pattern command the menus do not show.

namespace vantreel {

extern const char* const kQuickHelpText;

} // namespace vantreel
