#include "shell/EditorView.h"

#include "engine/AudioEngine.h"
#include "shell/EditorFont.h"
#include "shell/KeyMapping.h"
#include "shell/QtCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vantreel {

namespace {

// The fixed layout: cells end at x 832, the status line starts at y 636.
constexpr QSize kLayoutSize(848, 660);

} // namespace

EditorView::EditorView(AudioEngine& engine, QWidget* parent)
    : QFrame(parent), controller(engine), painter(engine), textCells(EditorFont()) {
    setObjectName("EditorView");
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent); // every paint covers the whole client area
    setAttribute(Qt::WA_KeyCompression, false);
}

void EditorView::SetAcceleratorFilter(std::function<bool(QKeyCombination)> filter) {
    isAccelerator = std::move(filter);
}

QSize EditorView::sizeHint() const {
    const int frame = 2 * frameWidth();
    return kLayoutSize + QSize(frame, frame);
}

void EditorView::PaintContents(QPainter& target, QSize size) {
    QtCanvas canvas(target, textCells);
    painter.Paint(canvas, size.width(), size.height());
}

void EditorView::paintEvent(QPaintEvent*) {
    QPainter target(this);
    const QRect client = contentsRect();
    target.save();
    target.setClipRect(client);
    target.translate(client.topLeft());
    PaintContents(target, client.size());
    target.restore();
    drawFrame(&target);
}

void EditorView::keyPressEvent(QKeyEvent* event) {
    const bool accelerator = isAccelerator && isAccelerator(event->keyCombination());
    const int key = accelerator ? 0 : VirtualKeyOf(*event);
    if (key != 0 && controller.KeyDown(key, ModifiersOf(*event), event->isAutoRepeat())) {
        Repaint();
    }
    QFrame::keyPressEvent(event);
}

void EditorView::keyReleaseEvent(QKeyEvent* event) {
    // While a key repeats, the platform sends a release before every repeated
    // press; only the last, real release ends the note.
    const int key = event->isAutoRepeat() ? 0 : VirtualKeyOf(*event);
    if (key != 0 && controller.KeyUp(key)) {
        Repaint();
    }
    QFrame::keyReleaseEvent(event);
}

void EditorView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QFrame::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint client = event->position().toPoint() - contentsRect().topLeft();
    if (controller.MouseDown(client.x(), client.y())) {
        Repaint();
    }
}

bool EditorView::event(QEvent* event) {
    // Tab and Shift+Tab move the pattern cursor between tracks, not the focus.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QFrame::event(event);
}

bool EditorView::focusNextPrevChild(bool) {
    return false;
}

} // namespace vantreel
