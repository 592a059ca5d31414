#include "shell/PanelText.h"

#include <QStringDecoder>

namespace vantreel {

PanelText::PanelText(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
}

void PanelText::SetFullText(const QString& text) {
    if (text == fullText) {
        return;
    }
    fullText = text;
    setToolTip(text);
    ShowElided();
}

void PanelText::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    ShowElided();
}

void PanelText::ShowElided() {
    setText(fontMetrics().elidedText(fullText, Qt::ElideRight, contentsRect().width()));
}

QString FromEightBit(const std::string& text) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    if (!utf8.hasError()) {
        return decoded;
    }
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

} // namespace vantreel
