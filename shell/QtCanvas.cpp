#include "shell/QtCanvas.h"

#include "shell/TextCellCache.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace vantreel {

namespace {

QColor ToQColor(Color color) {
    return QColor(color.r, color.g, color.b);
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter, TextCellCache& texts) : painter(painter), texts(texts) {
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void QtCanvas::DrawLine(int x0, int y0, int x1, int y1, Color color) {
    // The editors draw only straight edges; a one-pixel rectangle fills fastest.
    if (x0 == x1 || y0 == y1) {
        FillRect(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0) + 1, std::abs(y1 - y0) + 1,
                 color);
        return;
    }
    painter.setPen(QPen(ToQColor(color), 0));
    painter.drawLine(x0, y0, x1, y1);
}

void QtCanvas::FillRect(int x, int y, int w, int h, Color color) {
    if (w < 1 || h < 1) {
        return;
    }
    painter.fillRect(QRect(x, y, w, h), ToQColor(color));
}

void QtCanvas::DrawText(int x, int y, std::string_view text, Color color, Color background) {
    if (!text.empty()) {
        painter.drawImage(x, y, texts.Cells(text, color, background));
    }
}

void QtCanvas::InvertRect(int x, int y, int w, int h) {
    if (w < 1 || h < 1) {
        return;
    }
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(QRect(x, y, w, h), Qt::white);
    painter.setCompositionMode(mode);
}

} // namespace vantreel
