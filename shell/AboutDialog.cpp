#include "shell/AboutDialog.h"

#include "shell/DialogUnits.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <cmath>

namespace vantreel {

namespace {

const char* const kCaption = "About Vantreel";
const char* const kProductName = "Vantreel";
constexpr int kDialogWidth = 480; // dialog units
constexpr int kDialogHeight = 243;
constexpr DialogRect kNameRect{0, 219, 388, 24};
constexpr DialogRect kOkRect{388, 219, 92, 24};

constexpr QColor kSkyTop(14, 22, 44);
constexpr QColor kSkyBottom(44, 26, 70);
constexpr QColor kGridText(120, 200, 170);
constexpr QColor kWave(255, 196, 92);
constexpr QColor kTitle(245, 245, 250);
constexpr int kGridColumns = 8;
constexpr int kGridRows = 22;
constexpr int kRowPitch = 13;
constexpr int kColumnPitch = 75;
constexpr double kWaveCycles = 3.5;
constexpr int kWaveAmplitude = 38;

// A faint column of pattern lines, like the editor's, behind everything.
void DrawPatternGrid(QPainter& painter) {
    QFont font("DejaVu Sans Mono");
    font.setPixelSize(10);
    painter.setFont(font);
    QColor faint = kGridText;
    faint.setAlpha(70);
    painter.setPen(faint);
    const char* const notes[] = {"C-4", "E-4", "G-4", "---", "A#3", "D-5", "===", "F-4"};
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            const int seed = (row * 7 + column * 3) % 11;
            const QString cell = seed < 3 ? QString("%1 %2")
                                                .arg(notes[(row + column) % 8])
                                                .arg(seed * 37 + 20, 2, 16, QChar('0'))
                                          : QString("... ..");
            painter.drawText(8 + column * kColumnPitch, 14 + row * kRowPitch, cell.toUpper());
        }
    }
}

// A decaying wave across the middle, the sound the grid becomes.
void DrawWave(QPainter& painter) {
    QPainterPath path;
    const double middle = kAboutPictureHeight * 0.52;
    for (int x = 0; x <= kAboutPictureWidth; x += 2) {
        const double t = double(x) / kAboutPictureWidth;
        const double envelope = std::exp(-2.2 * t) * (1.0 - std::exp(-40.0 * t));
        const double y = middle - kWaveAmplitude * 1.6 * envelope *
                                      std::sin(2.0 * M_PI * kWaveCycles * t * (1.0 + t));
        if (x == 0) {
            path.moveTo(x, y);
        } else {
            path.lineTo(x, y);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kWave, 3.0));
    painter.drawPath(path);
}

void DrawTitle(QPainter& painter) {
    QFont font("DejaVu Sans");
    font.setPixelSize(64);
    font.setBold(true);
    painter.setFont(font);
    const QRect area(0, 190, kAboutPictureWidth, 80);
    painter.setPen(QColor(0, 0, 0, 140));
    painter.drawText(area.translated(3, 3), Qt::AlignCenter, kProductName);
    painter.setPen(kTitle);
    painter.drawText(area, Qt::AlignCenter, kProductName);
    font.setPixelSize(13);
    font.setBold(false);
    painter.setFont(font);
    painter.setPen(kGridText);
    painter.drawText(QRect(0, 262, kAboutPictureWidth, 24), Qt::AlignCenter,
                     "tracker-style sequencer for VST instruments");
}

} // namespace

QPixmap AboutPicture() {
    QPixmap picture(kAboutPictureWidth, kAboutPictureHeight);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, kAboutPictureHeight);
    sky.setColorAt(0.0, kSkyTop);
    sky.setColorAt(1.0, kSkyBottom);
    painter.fillRect(picture.rect(), sky);
    DrawPatternGrid(painter);
    DrawWave(painter);
    DrawTitle(painter);
    return picture;
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutDialog");
    setWindowTitle(kCaption);
    setFont(DialogFont());
    const DialogBaseUnits units = BaseUnitsOf(font());
    setFixedSize(ToPixels(kDialogWidth, kDialogHeight, units));
    auto* picture = new QLabel(this);
    picture->setPixmap(AboutPicture());
    picture->setGeometry(QRect(QPoint(0, 0), picture->pixmap().size()));
    auto* name = new QLabel(kProductName, this);
    name->setAlignment(Qt::AlignCenter);
    name->setGeometry(ToPixels(kNameRect, units));
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("AboutOk");
    ok->setDefault(true);
    ok->setGeometry(ToPixels(kOkRect, units));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace vantreel
