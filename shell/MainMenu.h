#pragma once
// The menu bar: File, Edit, Transport, View and Help, filled from the command table.

class QMenuBar;

namespace vantreel {

class CommandSet;

void BuildMainMenu(QMenuBar& menuBar, const CommandSet& commands);

} // namespace vantreel
