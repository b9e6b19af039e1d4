#include "analysis/light_amount_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "analysis/recording_canvas.h"
#include "tests/analysis/analysis_tables.h"
#include "trace/bundles.h"

namespace kiro {
namespace {

using test::linesOf;
using test::linesStartingWith;
using test::makeRow;
using test::numbersOf;

constexpr int kWidth = 520;
constexpr int kPlotHeight = 360; // percentages from row 40 to row 340

// A stop of 50 mm, a central obstruction of 9 mm, a spherical mirror and a focal plane
// of radius 25 mm: about 3.2 % of the beam is lost at every field angle.
SurfaceTable obstructedMirror() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 50.0);
    table[1] = makeRow(SurfaceType::Obstruction, -10.0, 0.0, 9.0);
    table[2] = makeRow(SurfaceType::SphericalMirror, -100.0, 1000.0, 100.0);
    table[3] = makeRow(SurfaceType::FlatFocal, 400.0, 0.0, 25.0);
    return table;
}

std::string lightPicture(const SurfaceTable& table, int floor, int threads = 2) {
    RecordingCanvas canvas;
    paintLightDialog(canvas, table, Settings{}, kWidth, kPlotHeight, floor, threads);
    return canvas.text();
}

std::vector<std::string> afterRedPen(const std::string& picture) {
    const std::vector<std::string> lines = linesOf(picture);
    std::vector<std::string> after;
    bool red = false;
    for (const std::string& line : lines) {
        if (red) {
            after.push_back(line);
        }
        red = red || line == "pen 1 255 0 0";
    }
    return after;
}

TEST(LightField, RadiusApertureAndPlottedWidth) {
    const SurfaceTable table = obstructedMirror();
    EXPECT_EQ(fieldRadius(table), 25.0);
    EXPECT_EQ(lightAperture(table), 50.0);
    EXPECT_EQ(plottedFieldRadius(table), 25.0);

    SurfaceTable noFocal = table;
    noFocal[3].type = SurfaceType::End;
    EXPECT_EQ(fieldRadius(noFocal), -1.0);
    EXPECT_EQ(plottedFieldRadius(noFocal), 50.0);

    // Codes 1 to 10 are passed over; the first row of 11 or more ends the search.
    SurfaceTable flatOnly{};
    flatOnly[0] = makeRow(SurfaceType::FlatMirror, 0.0, 0.0, 30.0);
    flatOnly[1] = makeRow(SurfaceType::Stop, -5.0, 0.0, 40.0);
    flatOnly[2] = makeRow(SurfaceType::SphericalLens, -10.0, 50.0, 20.0);
    flatOnly[3] = makeRow(SurfaceType::Stop, -15.0, 0.0, 5.0);
    EXPECT_EQ(lightAperture(flatOnly), 20.0);
    flatOnly[2].type = SurfaceType::FlatMirror;
    EXPECT_EQ(lightAperture(flatOnly), 5.0);
    EXPECT_EQ(lightAperture(SurfaceTable{}), -1.0);
}

TEST(LightFrame, FloorZeroRows) {
    const std::string picture = lightPicture(obstructedMirror(), 0);
    const std::vector<std::string> lines = linesOf(picture);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9),
              (std::vector<std::string>{"pen 2 0 0 0", "text 0 20 100%", "text 0 348 0%",
                                        "text 20 4 中心", "move 20 40", "line 500 40", "move 20 40",
                                        "line 20 340", "pen 1 0 0 0"}));
    // 50 %: dotted every 2 pixels with a tick from x = 10; 0 %: solid from x = 10.
    EXPECT_EQ(linesStartingWith(picture, "move 10 190").size(), 1u);
    EXPECT_EQ(linesStartingWith(picture, "pixel 22 190").size(), 1u);
    EXPECT_EQ(linesStartingWith(picture, "move 10 340"), (std::vector<std::string>{"move 10 340"}));
    EXPECT_NE(picture.find("move 10 340\nline 500 340\n"), std::string::npos);
    // Other rows: dotted every 4 pixels with a tick from x = 15.
    for (int y : {40, 70, 100, 130, 160, 220, 250, 280, 310}) {
        EXPECT_NE(
            picture.find("move 15 " + std::to_string(y) + "\nline 20 " + std::to_string(y) + "\n"),
            std::string::npos)
            << y;
        EXPECT_EQ(linesStartingWith(picture, "pixel 24 " + std::to_string(y) + " ").size(), 1u);
        EXPECT_TRUE(linesStartingWith(picture, "pixel 22 " + std::to_string(y) + " ").empty());
    }
}

TEST(LightFrame, FloorNinetySpansTwoRows) {
    const std::string picture = lightPicture(obstructedMirror(), 90);
    EXPECT_EQ(linesStartingWith(picture, "text 0 348"),
              (std::vector<std::string>{"text 0 348 90%"}));
    EXPECT_EQ(linesStartingWith(picture, "move 15"),
              (std::vector<std::string>{"move 15 40", "move 15 340"}));
    EXPECT_TRUE(linesStartingWith(picture, "move 10").empty());
}

TEST(LightFrame, FloorFiftyFiveHasNoHalfLevelRow) {
    const std::string picture = lightPicture(obstructedMirror(), 55);
    EXPECT_EQ(linesStartingWith(picture, "move 15"),
              (std::vector<std::string>{"move 15 40", "move 15 106", "move 15 173", "move 15 240",
                                        "move 15 306"}));
    EXPECT_TRUE(linesStartingWith(picture, "move 10").empty());
}

TEST(LightFrame, FieldColumnsEveryTenMillimetres) {
    const std::string picture = lightPicture(obstructedMirror(), 0);
    EXPECT_EQ(linesStartingWith(picture, "move 20 336"), (std::vector<std::string>{"move 20 336"}));
    EXPECT_NE(picture.find("move 212 336\nline 212 340\npixel 212 40 0 0 0\n"), std::string::npos);
    EXPECT_EQ(linesStartingWith(picture, "text 196 342"),
              (std::vector<std::string>{"text 196 342 10mm"}));
    EXPECT_EQ(linesStartingWith(picture, "text 388 342"),
              (std::vector<std::string>{"text 388 342 20mm"}));
    EXPECT_EQ(linesStartingWith(picture, "text").size(), 3u + 2u);
    // Dots from row 40 every 4 rows while above row 336, and those of the ten dotted
    // percentage rows that fall on the column.
    EXPECT_EQ(linesStartingWith(picture, "pixel 404 ").size(), 74u + 10u);
}

TEST(LightCurve, DropIsTruncatedTowardsZero) {
    const SurfaceTable table = obstructedMirror();
    const double v = lightAmount(table, Settings{}, 0.0, 50.0, 2);
    ASSERT_GT(v, 0.96);
    ASSERT_LT(v, 0.97); // a drop of 3.x % counts as 3 %
    const std::vector<std::string> curve = afterRedPen(lightPicture(table, 0));
    ASSERT_EQ(curve.size(), 21u);
    EXPECT_EQ(curve.front(), "move 20 49"); // 40 + 3 * 300 / 100
    EXPECT_EQ(linesOf(lightPicture(table, 90)).back().substr(0, 4), "line");
    EXPECT_EQ(afterRedPen(lightPicture(table, 90)).front(), "move 20 130"); // 40 + 3 * 300 / 10
    EXPECT_EQ(numbersOf(curve.back())[0], 500);
}

TEST(LightCurve, SameOnAnyNumberOfThreads) {
    const SurfaceTable table = test::newtonian();
    const std::string one = lightPicture(table, 0, 1);
    EXPECT_EQ(lightPicture(table, 0, 3), one);
    EXPECT_EQ(lightPicture(table, 0, 8), one);
    EXPECT_EQ(afterRedPen(one).size(), 21u);
}

TEST(LightCurve, NoCurveForAFieldOfRadiusZero) {
    SurfaceTable table = obstructedMirror();
    table[3].effectiveRadius = 0.0;
    const std::string picture = lightPicture(table, 0);
    EXPECT_TRUE(afterRedPen(picture).empty());
    EXPECT_EQ(linesOf(picture).back(), "pen 1 255 0 0");
}

TEST(LightCurve, NoCurveWithoutABeamRadius) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatMirror, 0.0, 0.0, 30.0);
    table[1] = makeRow(SurfaceType::FlatFocal, 50.0, 0.0, 20.0);
    ASSERT_EQ(lightAperture(table), -1.0);
    EXPECT_TRUE(afterRedPen(lightPicture(table, 0)).empty());
}

TEST(LightCurve, NoCurveWithoutAFocalLength) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 10.0);
    table[1] = makeRow(SurfaceType::FlatMirror, -10.0, 0.0, 10.0);
    table[1].nx = 1.0;
    table[1].nz = 0.0;
    table[2] = makeRow(SurfaceType::FlatFocal, -20.0, 0.0, 5.0);
    EXPECT_TRUE(afterRedPen(lightPicture(table, 0)).empty());
}

TEST(LightCurve, AbsurdFieldRadiusKeepsThePictureSmall) {
    SurfaceTable table = obstructedMirror();
    table[3].effectiveRadius = 1e12;
    EXPECT_LT(linesOf(lightPicture(table, 0)).size(), 100000u);
    table[3].effectiveRadius = std::numeric_limits<double>::infinity();
    const std::string picture = lightPicture(table, 0);
    EXPECT_TRUE(linesStartingWith(picture, "move 20 336").empty());
    EXPECT_TRUE(afterRedPen(picture).empty());
}

TEST(LightCurve, WithoutAnyFieldOnlyTheFrameAndRows) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Obstruction, 0.0, 0.0, 10.0);
    const std::string picture = lightPicture(table, 0);
    EXPECT_TRUE(linesStartingWith(picture, "move 20 336").empty());
    EXPECT_EQ(linesOf(picture).back(), "pen 1 255 0 0");
    EXPECT_EQ(lightPicture(SurfaceTable{}, 0), "");
}

} // namespace
} // namespace kiro
