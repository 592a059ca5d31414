#pragma once
// The tool bar's pictures and the window icon, drawn for this program and compiled
// into it.

#include "shell/CommandTable.h"

#include <QIcon>

namespace vantreel {

QIcon CommandIcon(CommandId id); // an empty icon for a command without a picture
QIcon ApplicationIcon();

} // namespace vantreel
