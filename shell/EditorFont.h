#pragma once
// The editors' fixed-pitch font, standing in for an 8-point console font: every
// character advances exactly kCharWidth pixels and the text fits one editor row.

#include <QFont>

namespace vantreel {

// User-interface thread; needs a QGuiApplication.
QFont EditorFont();

} // namespace vantreel
