#pragma once
// The editor window: the song arrangement above the pattern editor and the status
// line, painted by the editors onto a QPainter canvas, and fed with the editors'
// virtual keys and clicks. It holds no song data; every paint redraws all of it
// from the engine.

#include "editors/EditorController.h"
#include "editors/EditorPainter.h"
#include "shell/TextCellCache.h"

#include <QFrame>
#include <QKeyCombination>

#include <functional>

class QImage;

namespace vantreel {

class AudioEngine;

class EditorView : public QFrame {
    Q_OBJECT
public:
    EditorView(AudioEngine& engine, QWidget* parent = nullptr);

    EditorController& Controller() { return controller; }
    EditorPainter& Painter() { return painter; }
    const QFont& TextFont() const { return textCells.Font(); }

    // Keys the main window takes as accelerators, whether or not their command is
    // enabled: they are never typed into the editors.
    void SetAcceleratorFilter(std::function<bool(QKeyCombination)> isAccelerator);

    // A full repaint without erasing the background.
    void Repaint() { update(); }
    // Paints the editors at the given client size onto `target`, as the window does.
    void PaintContents(QPainter& target, QSize size);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    EditorController controller;
    EditorPainter painter;
    TextCellCache textCells;
    std::function<bool(QKeyCombination)> isAccelerator;
};

} // namespace vantreel
