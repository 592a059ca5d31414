#include "shell/DialogUnits.h"

#include <QFontMetrics>

namespace vantreel {

namespace {

const char* const kFontFamily = "DejaVu Sans";
constexpr int kFontPixelSize = 10;
// Narrowed until the average letter is five pixels wide, the width the layouts
// were drawn for; the first stretch that gets there wins.
constexpr int kStretches[] = {85, 80, 90, 75, 100};
constexpr int kIntendedBaseX = 5;
const char* const kAverageSample = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kLettersHalf = 26;
constexpr int kQuartersPerBaseX = 4;
constexpr int kEighthsPerBaseY = 8;

QFont FontAt(int stretch) {
    QFont font(kFontFamily);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixelSize);
    font.setStretch(stretch);
    return font;
}

// Rounded to nearest, as the conversion of dialog layouts always has been.
int Scale(int value, int base, int divisor) {
    const long long product = static_cast<long long>(value) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
}

} // namespace

QFont DialogFont() {
    for (int stretch : kStretches) {
        QFont font = FontAt(stretch);
        if (BaseUnitsOf(font).x == kIntendedBaseX) {
            return font;
        }
    }
    return FontAt(kStretches[0]);
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int sampleWidth = metrics.horizontalAdvance(QLatin1String(kAverageSample));
    return {(sampleWidth / kLettersHalf + 1) / 2, metrics.height()};
}

QRect ToPixels(const DialogRect& rect, DialogBaseUnits units) {
    const int left = Scale(rect.x, units.x, kQuartersPerBaseX);
    const int top = Scale(rect.y, units.y, kEighthsPerBaseY);
    const int right = Scale(rect.x + rect.width, units.x, kQuartersPerBaseX);
    const int bottom = Scale(rect.y + rect.height, units.y, kEighthsPerBaseY);
    return QRect(left, top, right - left, bottom - top);
}

QSize ToPixels(int width, int height, DialogBaseUnits units) {
    return ToPixels(DialogRect{0, 0, width, height}, units).size();
}

} // namespace vantreel
