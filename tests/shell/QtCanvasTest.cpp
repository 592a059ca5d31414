// The QPainter canvas keeps the editors' pixel contract on an image.

#include "ShellTestSupport.h"

#include "shell/EditorFont.h"
#include "shell/QtCanvas.h"
#include "shell/TextCellCache.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace vantreel::test {
namespace {

constexpr Color kPaper{255, 255, 255};
constexpr Color kInk{0, 0, 0};
constexpr Color kRed{200, 30, 40};

class QtCanvasTest : public testing::Test {
protected:
    QImage image{40, 30, QImage::Format_RGB32};
    TextCellCache texts{EditorFont()};

    QtCanvasTest() { image.fill(Qt::white); }
    template <typename Draw> void Paint(Draw draw) {
        QPainter painter(&image);
        QtCanvas canvas(painter, texts);
        draw(canvas);
    }
};

TEST_F(QtCanvasTest, LinesIncludeBothEndsAndRectsExcludeTheFarEdge) {
    Paint([](Canvas& c) {
        c.DrawLine(2, 3, 9, 3, kRed);
        c.DrawLine(30, 5, 30, 8, kRed);
        c.FillRect(20, 10, 5, 4, kRed);
    });
    EXPECT_EQ(PixelAt(image, 30, 4), kPaper);
    EXPECT_EQ(PixelAt(image, 30, 5), kRed);
    EXPECT_EQ(PixelAt(image, 30, 8), kRed);
    EXPECT_EQ(PixelAt(image, 30, 9), kPaper);
    EXPECT_EQ(PixelAt(image, 31, 6), kPaper);
    EXPECT_EQ(PixelAt(image, 1, 3), kPaper);
    EXPECT_EQ(PixelAt(image, 2, 3), kRed);
    EXPECT_EQ(PixelAt(image, 9, 3), kRed);
    EXPECT_EQ(PixelAt(image, 10, 3), kPaper);
    EXPECT_EQ(PixelAt(image, 2, 4), kPaper);
    EXPECT_EQ(PixelAt(image, 24, 13), kRed);
    EXPECT_EQ(PixelAt(image, 25, 13), kPaper);
    EXPECT_EQ(PixelAt(image, 24, 14), kPaper);
}

TEST_F(QtCanvasTest, InversionFlipsEveryChannelAndKeepsTheSurfaceOpaque) {
    QImage argb(8, 8, QImage::Format_ARGB32_Premultiplied);
    argb.fill(QColor(10, 100, 200));
    {
        QPainter painter(&argb);
        QtCanvas canvas(painter, texts);
        canvas.InvertRect(2, 2, 3, 3);
        canvas.InvertRect(0, 0, 0, 5); // empty: nothing
    }
    EXPECT_EQ(argb.pixel(2, 2), qRgb(245, 155, 55));
    EXPECT_EQ(argb.pixel(4, 4), qRgb(245, 155, 55));
    EXPECT_EQ(argb.pixel(5, 5), qRgb(10, 100, 200));
    EXPECT_EQ(argb.pixel(0, 0), qRgb(10, 100, 200));
}

TEST_F(QtCanvasTest, TextIsOpaqueAndStaysInsideItsCells) {
    Paint([](Canvas& c) { c.DrawText(3, 5, "gjpqy|", kInk, kRed); });
    const int right = 3 + 6 * kCharWidth;
    const int bottom = 5 + kTextHeight;
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool inside = x >= 3 && x < right && y >= 5 && y < bottom;
            const Color c = PixelAt(image, x, y);
            if (!inside) {
                EXPECT_EQ(c, kPaper) << x << "," << y;
            } else if (c != kRed) {
                ++inked;
            }
        }
    }
    EXPECT_GT(inked, 20);
    EXPECT_EQ(PixelAt(image, 3, 5), kRed); // the cell's corner is background
}

TEST_F(QtCanvasTest, TheSameTextOnAnotherBackgroundIsNotMixedUp) {
    const Color blue{20, 40, 220};
    Paint([&](Canvas& c) {
        c.DrawText(0, 0, "00", kInk, kRed);
        c.DrawText(0, 12, "00", kInk, blue);
        c.DrawText(20, 0, "00", kPaper, kRed);
    });
    EXPECT_EQ(PixelAt(image, 0, 0), kRed);
    EXPECT_EQ(PixelAt(image, 0, 12), blue);
    QImage black = image.copy(0, 0, 12, kTextHeight);
    QImage white = image.copy(20, 0, 12, kTextHeight);
    white.invertPixels();
    EXPECT_NE(black, image.copy(0, 12, 12, kTextHeight));
    // White ink on the same paper draws the same glyph shapes, not the cached black.
    EXPECT_NE(black, image.copy(20, 0, 12, kTextHeight));
}

} // namespace
} // namespace vantreel::test
