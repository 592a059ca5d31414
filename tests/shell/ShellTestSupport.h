#pragma once
// Helpers for the window tests: rendering the editor view into an image, reading
// its pixels, comparing a text at a position with the same text drawn on its own,
// and sending key events the way the platform does.

#include "editors/Color.h"
#include "engine/AudioEngine.h"
#include "shell/EditorView.h"

#include <QImage>
#include <QKeyEvent>

#include <memory>
#include <ostream>
#include <string>

namespace vantreel::test {

// The editors' client size used by the tests: wider than the grid and tall enough
// for the whole fixed layout and a status box below it.
constexpr QSize kViewSize(1000, 680);

std::unique_ptr<AudioEngine> MakeEngine(); // no output stream: nothing drains the lists

// What the widget paints for its client area at `size`, through its paint event.
QImage RenderView(EditorView& view, QSize size = kViewSize);

Color PixelAt(const QImage& image, int x, int y);

// True when `text`, drawn alone with the view's font in `ink` on `paper`, matches
// the image at the text's top-left corner (x, y), pixel for pixel.
bool TextAt(const QImage& image, const QFont& font, int x, int y, const std::string& text,
            Color ink, Color paper);

// A key event as the platform delivers it, through the widget's own event path.
void Press(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           bool autoRepeat = false);
void Release(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             bool autoRepeat = false);

inline std::ostream& operator<<(std::ostream& out, Color c) {
    return out << "(" << int(c.r) << ", " << int(c.g) << ", " << int(c.b) << ")";
}

} // namespace vantreel::test
