#include "shell/EditorFont.h"

#include "editors/Canvas.h"

#include <QFontMetrics>

namespace vantreel {

namespace {

constexpr int kPreferredPixelSize = 10; // DejaVu Sans Mono advances 6 pixels here
constexpr int kSmallestPixelSize = 7;
constexpr int kLargestPixelSize = 13;

QFont MonospaceFont(int pixelSize) {
    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setPixelSize(pixelSize);
    return font;
}

bool AdvancesOneCell(const QFont& font) {
    return QFontMetrics(font).horizontalAdvance(QLatin1Char('0')) == kCharWidth;
}

} // namespace

QFont EditorFont() {
    // Should the preferred face be missing, the fallback's size is searched for the
    // same advance, so the cursor columns still line up with the digits.
    if (QFont font = MonospaceFont(kPreferredPixelSize); AdvancesOneCell(font)) {
        return font;
    }
    for (int size = kLargestPixelSize; size >= kSmallestPixelSize; --size) {
        if (QFont font = MonospaceFont(size); AdvancesOneCell(font)) {
            return font;
        }
    }
    return MonospaceFont(kPreferredPixelSize);
}

} // namespace vantreel
