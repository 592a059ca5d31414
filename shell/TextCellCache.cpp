#include "shell/TextCellCache.h"

#include "editors/Canvas.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace vantreel {

namespace {

// Enough for every text of a few screens; a song with many pattern names and
// cells can exceed it, and then the cache simply starts over.
constexpr size_t kMaxCells = 8192;

QColor ToQColor(Color color) {
    return QColor(color.r, color.g, color.b);
}

} // namespace

TextCellCache::TextCellCache(const QFont& font) : font(font) {
    // Digits and capitals fill the cell; the lowest pixel of descenders is cut off
    // like the console font's, whose cell is also one pixel short of the row.
    baseline = std::min(QFontMetrics(font).ascent(), kTextHeight - 2);
}

const QImage& TextCellCache::Cells(std::string_view text, Color ink, Color paper) {
    key.assign(text);
    for (Color c : {ink, paper}) {
        key.push_back(char(c.r));
        key.push_back(char(c.g));
        key.push_back(char(c.b));
    }
    if (auto found = cells.find(key); found != cells.end()) {
        return found->second;
    }
    if (cells.size() >= kMaxCells) {
        cells.clear();
    }
    return cells.emplace(key, Render(text, ink, paper)).first->second;
}

QImage TextCellCache::Render(std::string_view text, Color ink, Color paper) const {
    QImage image(kCharWidth * int(text.size()), kTextHeight, QImage::Format_RGB32);
    image.fill(ToQColor(paper));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(ToQColor(ink));
    painter.drawText(0, baseline, QString::fromLatin1(text.data(), qsizetype(text.size())));
    return image;
}

} // namespace vantreel
