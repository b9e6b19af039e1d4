#include "analysis/canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "analysis/recording_canvas.h"

namespace kiro {
namespace {

TEST(PixelConversion, DropsTheFractionTowardsZero) {
    int p = 0;
    EXPECT_TRUE(toPixel(12.9, p));
    EXPECT_EQ(p, 12);
    EXPECT_TRUE(toPixel(-12.9, p));
    EXPECT_EQ(p, -12);
}

TEST(PixelConversion, RefusesValuesWithoutAnIntAndLeavesThePixelAlone) {
    int p = 7;
    EXPECT_FALSE(toPixel(std::numeric_limits<double>::quiet_NaN(), p));
    EXPECT_FALSE(toPixel(std::numeric_limits<double>::infinity(), p));
    EXPECT_FALSE(toPixel(-std::numeric_limits<double>::infinity(), p));
    EXPECT_FALSE(toPixel(3e9, p));
    EXPECT_FALSE(toPixel(static_cast<double>(INT_MAX) + 1.0, p));
    EXPECT_EQ(p, 7);
}

TEST(PixelConversion, ClampsLargeCoordinatesToTheLimit) {
    int p = 0;
    EXPECT_TRUE(toPixel(2e9, p));
    EXPECT_EQ(p, kPixelLimit);
    EXPECT_TRUE(toPixel(-2e9, p));
    EXPECT_EQ(p, -kPixelLimit);
    int whole = 0;
    EXPECT_TRUE(toInt(static_cast<double>(INT_MAX) + 0.5, whole));
    EXPECT_EQ(whole, INT_MAX);
}

TEST(RecordingCanvas, WritesOnePrimitiveALine) {
    RecordingCanvas canvas;
    canvas.selectPen(2, {32, 128, 32});
    canvas.moveTo(-3, 4);
    canvas.lineTo(5, 6);
    canvas.setPixel(7, 8, {255, 0, 0});
    canvas.textOut(0, 500, "１目盛：100um");
    EXPECT_EQ(canvas.text(), "pen 2 32 128 32\n"
                             "move -3 4\n"
                             "line 5 6\n"
                             "pixel 7 8 255 0 0\n"
                             "text 0 500 １目盛：100um\n");
}

TEST(Polyline, StartsAtTheFirstPointThatConvertsAndSkipsTheOthers) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    RecordingCanvas canvas;
    Polyline line(canvas);
    line.add(nan, 1.0);
    EXPECT_FALSE(line.started());
    line.add(1.0, 2.0);
    line.add(1e300, 3.0);
    line.add(4.0, 5.0);
    EXPECT_EQ(canvas.text(), "move 1 2\nline 4 5\n");
}

TEST(DrawLine, DrawsNothingWhenAnEndDoesNotConvert) {
    RecordingCanvas canvas;
    drawLine(canvas, 0.0, 0.0, std::numeric_limits<double>::infinity(), 1.0);
    EXPECT_EQ(canvas.text(), "");
    drawLine(canvas, 0.5, 1.5, 2.5, 3.5);
    EXPECT_EQ(canvas.text(), "move 0 1\nline 2 3\n");
}

} // namespace
} // namespace kiro
