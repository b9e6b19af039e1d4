#include "render/qt_canvas.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QSet>

namespace kiro {
namespace {

// Fonts need a GUI application; the tests run offscreen.
void ensureApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qt_canvas_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

QSet<QRgb> coloursOf(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y) & 0xFFFFFFu);
        }
    }
    return colours;
}

constexpr QRgb kWhite = 0xFFFFFF;

TEST(QtCanvas, TwoPixelPenDrawsTwoRowsInItsColourOnly) {
    ensureApplication();
    const QImage image = paintImage(20, 20, [](Canvas& canvas) {
        canvas.selectPen(2, {32, 32, 128});
        canvas.moveTo(2, 10);
        canvas.lineTo(17, 10);
    });
    int rows = 0;
    for (int y = 0; y < 20; ++y) {
        rows += (image.pixel(10, y) & 0xFFFFFFu) == 0x202080u ? 1 : 0;
    }
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(coloursOf(image), (QSet<QRgb>{kWhite, 0x202080u}));
}

TEST(QtCanvas, OnePixelDiagonalIsNotAntialiased) {
    ensureApplication();
    const QImage image = paintImage(30, 30, [](Canvas& canvas) {
        canvas.selectPen(1, {255, 0, 0});
        canvas.moveTo(1, 2);
        canvas.lineTo(28, 21);
    });
    EXPECT_EQ(coloursOf(image), (QSet<QRgb>{kWhite, 0xFF0000u}));
    int column = 0;
    for (int y = 0; y < 30; ++y) {
        column += (image.pixel(15, y) & 0xFFFFFFu) == 0xFF0000u ? 1 : 0;
    }
    EXPECT_EQ(column, 1);
}

TEST(QtCanvas, LineToTheCurrentPointDrawsNothing) {
    ensureApplication();
    const QImage image = paintImage(10, 10, [](Canvas& canvas) {
        canvas.selectPen(2, kBlack);
        canvas.moveTo(5, 5);
        canvas.lineTo(5, 5);
    });
    EXPECT_EQ(coloursOf(image), (QSet<QRgb>{kWhite}));
}

TEST(QtCanvas, SetPixelColoursExactlyOnePixel) {
    ensureApplication();
    const QImage image = paintImage(10, 10, [](Canvas& canvas) {
        canvas.selectPen(2, kBlack);
        canvas.setPixel(3, 4, {64, 192, 255});
    });
    EXPECT_EQ(image.pixel(3, 4) & 0xFFFFFFu, 0x40C0FFu);
    EXPECT_EQ(coloursOf(image), (QSet<QRgb>{kWhite, 0x40C0FFu}));
}

TEST(QtCanvas, PixelsDrawnTwiceStayAndTheLaterColourWins) {
    ensureApplication();
    const QImage image = paintImage(10, 10, [](Canvas& canvas) {
        canvas.setPixel(1, 1, {255, 0, 0});
        canvas.setPixel(1, 1, {255, 0, 0});
        canvas.setPixel(2, 2, {255, 0, 0});
        canvas.setPixel(2, 2, {0, 0, 255});
        canvas.selectPen(1, kBlack);
        canvas.moveTo(0, 3);
        canvas.lineTo(9, 3);
        canvas.setPixel(4, 3, {255, 0, 0});
    });
    EXPECT_EQ(image.pixel(1, 1) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(image.pixel(2, 2) & 0xFFFFFFu, 0x0000FFu);
    EXPECT_EQ(image.pixel(4, 3) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(image.pixel(5, 3) & 0xFFFFFFu, 0x000000u);
}

TEST(QtCanvas, JapaneseTextIsDrawnBelowAndRightOfItsPoint) {
    ensureApplication();
    const QImage image = paintImage(60, 40, [](Canvas& canvas) {
        canvas.selectPen(1, {255, 0, 0});
        canvas.textOut(10, 10, "中心");
    });
    int inked = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) != kWhite) {
                ++inked;
                EXPECT_GE(x, 10);
                EXPECT_GE(y, 10);
                EXPECT_LT(y, 10 + 2 * kCanvasFontPixels);
            }
        }
    }
    EXPECT_GT(inked, 20); // two glyphs, not two empty boxes of a missing font
    EXPECT_EQ(coloursOf(image), (QSet<QRgb>{kWhite, 0x000000u}));
}

TEST(QtCanvas, EncodersWriteTheirFormats) {
    ensureApplication();
    const PaintFunction paint = [](Canvas& canvas) {
        canvas.selectPen(1, kBlack);
        canvas.moveTo(0, 0);
        canvas.lineTo(9, 9);
        canvas.textOut(0, 0, "１目盛：100um");
    };
    const QByteArray png = encodePng(40, 30, paint);
    ASSERT_TRUE(png.startsWith("\x89PNG"));
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(png, "PNG"));
    EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
              paintImage(40, 30, paint).convertToFormat(QImage::Format_RGB32));
    const QByteArray svg = encodeSvg(40, 30, paint);
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_TRUE(svg.contains("viewBox=\"0 0 40 30\""));
    EXPECT_TRUE(encodePdf(40, 30, paint).startsWith("%PDF"));
}

} // namespace
} // namespace kiro
