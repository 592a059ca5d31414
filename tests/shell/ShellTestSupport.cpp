#include "ShellTestSupport.h"

#include "shell/QtCanvas.h"
#include "shell/TextCellCache.h"

#include <QCoreApplication>
#include <QPainter>

namespace vantreel::test {

std::unique_ptr<AudioEngine> MakeEngine() {
    return std::make_unique<AudioEngine>(OutputMode::CallerDriven);
}

QImage RenderView(EditorView& view, QSize size) {
    const int frame = 2 * view.frameWidth();
    view.resize(size + QSize(frame, frame));
    return view.grab(view.contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
}

Color PixelAt(const QImage& image, int x, int y) {
    const QRgb rgb = image.pixel(x, y);
    return {uint8_t(qRed(rgb)), uint8_t(qGreen(rgb)), uint8_t(qBlue(rgb))};
}

bool TextAt(const QImage& image, const QFont& font, int x, int y, const std::string& text,
            Color ink, Color paper) {
    const int width = kCharWidth * int(text.size());
    QImage reference(width, kTextHeight, QImage::Format_RGB32);
    {
        QPainter painter(&reference);
        TextCellCache texts(font);
        QtCanvas canvas(painter, texts);
        canvas.DrawText(0, 0, text, ink, paper);
    }
    for (int dy = 0; dy < kTextHeight; ++dy) {
        for (int dx = 0; dx < width; ++dx) {
            if (image.pixel(x + dx, y + dy) != reference.pixel(dx, dy)) {
                return false;
            }
        }
    }
    return true;
}

namespace {

QString TextOf(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) {
        const QChar c(key);
        return modifiers.testFlag(Qt::ShiftModifier) ? QString(c) : QString(c).toLower();
    }
    return {};
}

void Send(QWidget& widget, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
          bool autoRepeat) {
    QKeyEvent event(type, key, modifiers, TextOf(key, modifiers), autoRepeat);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

void Press(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
    Send(widget, QEvent::KeyPress, key, modifiers, autoRepeat);
}

void Release(QWidget& widget, Qt::Key key, Qt::KeyboardModifiers modifiers, bool autoRepeat) {
    Send(widget, QEvent::KeyRelease, key, modifiers, autoRepeat);
}

} // namespace vantreel::test
