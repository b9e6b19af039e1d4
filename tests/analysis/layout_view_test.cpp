#include "analysis/layout_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "analysis/recording_canvas.h"
#include "tests/analysis/analysis_tables.h"

namespace kiro {
namespace {

using test::linesOf;
using test::linesStartingWith;
using test::makeRow;
using test::numbersOf;

SurfaceTable flatFocalPlane() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 5.0);
    return table;
}

// A view with round numbers, for exact primitives.
LayoutView simpleView() {
    LayoutView view;
    view.scale = 10.0;
    view.originX = 300.0;
    view.originY = 200.0;
    view.fitScale = 10.0;
    view.fitOriginX = 300.0;
    view.fitOriginY = 200.0;
    view.zMax = 20.0;
    view.zMin = -20.0;
    view.xMax = 15.0;
    view.xMin = -15.0;
    return view;
}

std::string profilesOf(const LayoutView& view, const SurfaceTable& table) {
    RecordingCanvas canvas;
    drawSurfaceProfiles(canvas, view, table);
    return canvas.text();
}

constexpr const char* kSimpleAxis = "pen 2 0 0 0\nmove 100 200\nline 500 200\n";

TEST(LayoutFit, FlatFocalPlaneOn600By400) {
    LayoutView view;
    updateLayoutView(view, flatFocalPlane(), LayoutMode::Fit, 600, 400, 600, 400);
    EXPECT_EQ(view.zMin, -10.0);
    EXPECT_EQ(view.zMax, 10.0);
    EXPECT_EQ(view.xMin, -15.0);
    EXPECT_EQ(view.xMax, 15.0);
    EXPECT_DOUBLE_EQ(view.scale, 400.0 / 30.0 / 1.1);
    EXPECT_EQ(view.originX, 300.0);
    EXPECT_EQ(view.originY, 200.0);
    EXPECT_EQ(view.fitScale, view.scale);
    EXPECT_EQ(view.fitOriginX, 300.0);
    EXPECT_EQ(view.fitOriginY, 200.0);
}

TEST(LayoutFit, EmptyDesignFitsTheTenMillimetreFrame) {
    LayoutView view;
    updateLayoutView(view, SurfaceTable{}, LayoutMode::Fit, 630, 400, 630, 400);
    EXPECT_EQ(view.zMin, -10.0);
    EXPECT_EQ(view.zMax, 10.0);
    EXPECT_EQ(view.xMin, -10.0);
    EXPECT_EQ(view.xMax, 10.0);
    RecordingCanvas canvas;
    Settings settings;
    drawLayout(canvas, view, SurfaceTable{}, settings);
    EXPECT_EQ(canvas.text(), "pen 2 0 0 0\nmove 133 200\nline 496 200\npen 1 0 0 0\n");
}

TEST(LayoutZoom, ZoomInStopsAtSixteenPixelsPerMillimetre) {
    LayoutView view = simpleView();
    view.scale = 9.6;
    updateLayoutView(view, SurfaceTable{}, LayoutMode::ZoomIn, 250, 150, 600, 400);
    EXPECT_EQ(view.scale, 9.6);
    EXPECT_DOUBLE_EQ(view.originX, 300.0 + 50.0);
    EXPECT_DOUBLE_EQ(view.originY, 200.0 + 50.0);

    view.scale = 8.0;
    updateLayoutView(view, SurfaceTable{}, LayoutMode::ZoomIn, 300, 200, 600, 400);
    EXPECT_EQ(view.scale, 16.0);
}

TEST(LayoutZoom, ClickedDesignPointMovesToTheMiddle) {
    LayoutView view = simpleView();
    const double z = (view.originX - 420.0) / view.scale;
    const double x = (view.originY - 90.0) / view.scale;
    updateLayoutView(view, SurfaceTable{}, LayoutMode::ZoomIn, 420, 90, 600, 400);
    EXPECT_EQ(view.scale, 20.0 > kMaxLayoutScale ? 10.0 : 20.0);
    EXPECT_DOUBLE_EQ(view.originX - view.scale * z, 300.0);
    EXPECT_DOUBLE_EQ(view.originY - view.scale * x, 200.0);
}

TEST(LayoutZoom, ZoomOutBelowTheFitReturnsExactlyToTheFit) {
    LayoutView view = simpleView();
    view.fitScale = 4.0;
    view.fitOriginX = 111.0;
    view.fitOriginY = 222.0;
    view.scale = 6.0;
    updateLayoutView(view, SurfaceTable{}, LayoutMode::ZoomOut, 10, 10, 600, 400);
    EXPECT_EQ(view.scale, 4.0);
    EXPECT_EQ(view.originX, 111.0);
    EXPECT_EQ(view.originY, 222.0);
}

TEST(LayoutZoom, ZoomOutFromTwiceTheFitKeepsTheClickedPointInTheMiddle) {
    LayoutView view = simpleView();
    view.fitScale = 4.0;
    view.scale = 8.0;
    const double z = (view.originX - 100.0) / view.scale;
    updateLayoutView(view, SurfaceTable{}, LayoutMode::ZoomOut, 100, 200, 600, 400);
    EXPECT_EQ(view.scale, 4.0);
    EXPECT_DOUBLE_EQ(view.originX - view.scale * z, 300.0);
    EXPECT_NE(view.originX, view.fitOriginX);
}

// The wheel's zoom: whatever the steps, the design point under the pointer stays there,
// the scale stays between the fit and the maximum, and the fit comes back exactly.
TEST(LayoutZoom, WheelZoomKeepsThePointUnderThePointer) {
    LayoutView view = simpleView();
    view.fitScale = 2.0;
    for (const double factor : {1.25, 1.25, 3.0, 7.0, 0.5, 0.8, 1.1}) {
        for (const auto& [column, row] : {std::pair{17.0, 380.0}, std::pair{512.5, 3.25}}) {
            const LayoutPoint before = layoutPointAt(view, column, row);
            zoomLayoutAbout(view, factor, column, row);
            const LayoutPoint after = layoutPointAt(view, column, row);
            EXPECT_NEAR(after.z, before.z, 1e-9);
            EXPECT_NEAR(after.x, before.x, 1e-9);
            EXPECT_LE(view.scale, kMaxLayoutScale);
            EXPECT_GT(view.scale, view.fitScale);
        }
    }
    zoomLayoutAbout(view, 1e-3, 40.0, 40.0);
    EXPECT_EQ(view.scale, view.fitScale);
    EXPECT_EQ(view.originX, view.fitOriginX);
    EXPECT_EQ(view.originY, view.fitOriginY);
    const LayoutView unscaled;
    LayoutView zero = unscaled;
    zoomLayoutAbout(zero, 2.0, 1.0, 1.0);
    EXPECT_EQ(zero.scale, 0.0);
}

TEST(LayoutZoom, ZeroScaleIsNotZoomed) {
    LayoutView view;
    updateLayoutView(view, flatFocalPlane(), LayoutMode::Fit, 0, 400, 0, 400);
    EXPECT_EQ(view.scale, 0.0);
    const LayoutView before = view;
    updateLayoutView(view, flatFocalPlane(), LayoutMode::ZoomIn, 10, 10, 0, 400);
    updateLayoutView(view, flatFocalPlane(), LayoutMode::ZoomOut, 10, 10, 0, 400);
    EXPECT_EQ(view.scale, before.scale);
    EXPECT_EQ(view.originX, before.originX);
    EXPECT_EQ(view.originY, before.originY);
}

TEST(LayoutZoom, OtherModesDoNothing) {
    LayoutView view = simpleView();
    updateLayoutView(view, flatFocalPlane(), static_cast<LayoutMode>(3), 10, 10, 600, 400);
    EXPECT_EQ(view.scale, 10.0);
    EXPECT_EQ(view.originX, 300.0);
    EXPECT_EQ(view.zMax, 20.0);
}

TEST(LayoutProfiles, FlatFocalPlaneAfterAFit) {
    LayoutView view;
    updateLayoutView(view, flatFocalPlane(), LayoutMode::Fit, 600, 400, 600, 400);
    EXPECT_EQ(profilesOf(view, flatFocalPlane()), "pen 2 0 0 0\n"
                                                  "move 178 200\n"
                                                  "line 421 200\n"
                                                  "pen 2 32 32 128\n"
                                                  "move 300 139\n"
                                                  "line 300 260\n");
}

TEST(LayoutProfiles, FlatRowWithZeroNzIsDrawnAlongTheAxis) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatLens, 1.0, 0.0, 5.0);
    table[0].x = 2.0;
    table[0].nx = 1.0;
    table[0].nz = 0.0;
    EXPECT_EQ(profilesOf(simpleView(), table),
              std::string(kSimpleAxis) + "pen 2 32 32 128\nmove 240 180\nline 340 180\n");
}

TEST(LayoutProfiles, TiltedFlatMirrorSpansPlusMinusH) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatMirror, 0.0, 0.0, 20.0);
    table[0].nx = -1.0 / std::sqrt(2.0);
    table[0].nz = 1.0 / std::sqrt(2.0);
    EXPECT_EQ(profilesOf(simpleView(), table),
              std::string(kSimpleAxis) + "pen 2 32 32 128\nmove 100 0\nline 500 400\n");
}

TEST(LayoutProfiles, SphericalMirrorArcStepsFromMinusAToAThroughTheVertex) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalMirror, 0.0, 200.0, 50.0);
    const std::vector<std::string> lines = linesOf(profilesOf(simpleView(), table));
    // The summed steps of a/32 come out a hair above a after 64 steps, so this arc ends
    // one step short of +a: 64 points.
    ASSERT_EQ(lines.size(), 3u + 1u + 64u);
    EXPECT_EQ(lines[3], "pen 2 32 128 32");
    // t = 0 is the 33rd point: the vertex, at column 300 and row 200.
    EXPECT_EQ(lines[4 + 32], "line 300 200");
    // The first end lies at the half angle atan(h / R) seen from the centre: R sin a =
    // 48.5 mm off the axis, R (1 - cos a) = 6 mm behind the vertex; offsets are whole pixels.
    EXPECT_EQ(lines[4], "move 240 -285");
    EXPECT_EQ(lines.back(), "line 243 670");
}

TEST(LayoutProfiles, SphericalRowWithoutClearRadiusDrawsNothingButSelectsItsPen) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalLens, 0.0, 200.0, 0.0);
    EXPECT_EQ(profilesOf(simpleView(), table), std::string(kSimpleAxis) + "pen 2 32 128 32\n");
}

TEST(LayoutProfiles, ParaboloidIsSampledEveryMillimetre) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::ParaboloidMirror, 0.0, 100.0, 2.0);
    EXPECT_EQ(profilesOf(simpleView(), table), std::string(kSimpleAxis) + "pen 2 128 32 32\n"
                                                                          "move 299 180\n"
                                                                          "line 299 190\n"
                                                                          "line 300 200\n"
                                                                          "line 299 210\n"
                                                                          "line 299 220\n");
}

TEST(LayoutProfiles, ParaboloidSmallerThanAMillimetreIsOnePoint) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::ParaboloidMirror, 0.0, 100.0, 0.4);
    EXPECT_EQ(profilesOf(simpleView(), table),
              std::string(kSimpleAxis) + "pen 2 128 32 32\nmove 299 196\n");
}

TEST(LayoutProfiles, AsphericRowUsesItsPolynomialSag) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::AsphericLens, 0.0, 0.0, 1.0);
    table[0].a2 = 1.0; // z = s^4
    EXPECT_EQ(profilesOf(simpleView(), table), std::string(kSimpleAxis) + "pen 2 128 32 32\n"
                                                                          "move 290 190\n"
                                                                          "line 300 200\n"
                                                                          "line 290 210\n");
}

TEST(LayoutProfiles, UnknownTypeDrawsNothingAndSelectsNoPen) {
    SurfaceTable table{};
    table[0] = makeRow(5, 0.0, 100.0, 10.0);
    table[1] = makeRow(SurfaceType::Obstruction, -1.0, 0.0, 3.0);
    EXPECT_EQ(profilesOf(simpleView(), table),
              std::string(kSimpleAxis) + "pen 2 32 32 128\nmove 310 170\nline 310 230\n");
}

TEST(LayoutProfiles, StopAfterAZoomStillReachesTheFittedFrame) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 5.0);
    table[1] = makeRow(SurfaceType::FlatFocal, -20.0, 0.0, 5.0);
    LayoutView view;
    updateLayoutView(view, table, LayoutMode::Fit, 300, 200, 300, 200);
    updateLayoutView(view, table, LayoutMode::ZoomIn, 150, 100, 300, 200);
    ASSERT_EQ(view.scale, 2.0 * view.fitScale);
    const std::vector<std::string> lines = linesOf(profilesOf(view, table));
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[3], "pen 2 32 32 128");
    const int top = static_cast<int>(view.originY - view.scale * view.xMax);
    const int bottom = static_cast<int>(view.originY - view.scale * view.xMin);
    EXPECT_EQ(numbersOf(lines[4])[1], top);
    EXPECT_EQ(numbersOf(lines[6])[1], bottom);
    EXPECT_EQ(numbersOf(lines[5])[1], static_cast<int>(view.originY - view.scale * 5.0));
}

std::vector<std::string> rayMoves(int rayCount) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 15.0);
    Settings settings;
    settings.rayCount = rayCount;
    RecordingCanvas canvas;
    drawRayFan(canvas, simpleView(), table, settings);
    return linesOf(canvas.text());
}

TEST(LayoutRayFan, NoRaysSelectNoPen) {
    EXPECT_TRUE(rayMoves(0).empty());
}

TEST(LayoutRayFan, OneRayIsTheAxialRay) {
    // Starts at zMax + h0 = 35 mm on the axis and ends on the focal plane.
    const std::vector<std::string> lines = rayMoves(1);
    EXPECT_EQ(lines, (std::vector<std::string>{"pen 1 0 0 0", "move -50 200", "line 300 200"}));
}

TEST(LayoutRayFan, TwoRaysAtAThirdOfTheAperture) {
    const std::vector<std::string> lines = rayMoves(2);
    EXPECT_EQ(lines, (std::vector<std::string>{"pen 1 0 0 0", "move -50 250", "line 300 250",
                                               "move -50 150", "line 300 150"}));
}

TEST(LayoutRayFan, PointSourceRaysStartBeyondTheSource) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 10.0);
    Settings settings;
    settings.rayCount = 1;
    settings.sourceMode = SourceMode::Point;
    settings.sourceZ = 2.0;
    RecordingCanvas canvas;
    drawRayFan(canvas, simpleView(), table, settings);
    // D = (0, 0, -2), start (0, 0, 2) - 10 D = z 22.
    EXPECT_EQ(canvas.text(), "pen 1 0 0 0\nmove 80 200\nline 300 200\n");
}

TEST(LayoutRobustness, AbsurdRowsKeepEveryCoordinateWithinTheLimit) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 1e300);
    table[1] = makeRow(SurfaceType::SphericalMirror, -1e200, nan, 40.0);
    table[2] = makeRow(SurfaceType::ParaboloidMirror, -10.0, 0.0, 1e300);
    table[3] = makeRow(SurfaceType::AsphericMirror, inf, 1e308, 2.0);
    table[4] = makeRow(SurfaceType::FlatMirror, 5.0, 0.0, 1e9);
    table[4].nz = 1e-300;
    table[4].nx = 1.0;
    table[5] = makeRow(SurfaceType::FlatFocal, -20.0, 0.0, 10.0);
    Settings settings;
    for (const auto& size : {std::pair{630, 400}, std::pair{0, 0}}) {
        LayoutView view;
        updateLayoutView(view, table, LayoutMode::Fit, size.first, size.second, size.first,
                         size.second);
        updateLayoutView(view, table, LayoutMode::ZoomIn, 10, 10, size.first, size.second);
        RecordingCanvas canvas;
        drawLayout(canvas, view, table, settings);
        for (const std::string& line : linesOf(canvas.text())) {
            if (line.rfind("pen", 0) == 0) {
                continue;
            }
            for (int n : numbersOf(line)) {
                EXPECT_LE(std::abs(n), kPixelLimit) << line;
            }
        }
    }
}

// Arcs of a denormal angle once stepped by nothing and never ended; the window draws the
// side view as soon as a file is opened, so it froze.
TEST(LayoutRobustness, ArcsOfAVanishingAngleEndAtOnce) {
    const std::pair<double, double> mirrors[] = {{200.0, 5e-321}, {1e300, 5e-23}};
    for (const auto& [radius, clearRadius] : mirrors) {
        const SurfaceTable table = test::sphericalMirror(radius, clearRadius, 100.0);
        LayoutView view;
        updateLayoutView(view, table, LayoutMode::Fit, 630, 400, 630, 400);
        RecordingCanvas canvas;
        drawLayout(canvas, view, table, Settings{});
        EXPECT_LT(linesOf(canvas.text()).size(), 200u) << radius;
    }
}

TEST(LayoutDrawing, DrawsProfilesThenTheFan) {
    SurfaceTable table = test::sphericalMirror(200.0, 25.0, 100.0);
    LayoutView view;
    updateLayoutView(view, table, LayoutMode::Fit, 630, 400, 630, 400);
    Settings settings;
    RecordingCanvas canvas;
    drawLayout(canvas, view, table, settings);
    const std::vector<std::string> pens = linesStartingWith(canvas.text(), "pen");
    EXPECT_EQ(pens, (std::vector<std::string>{"pen 2 0 0 0", "pen 2 32 128 32", "pen 2 32 32 128",
                                              "pen 1 0 0 0"}));
    // Eleven rays, each a move and a line to the mirror and to the focal plane.
    EXPECT_EQ(linesStartingWith(canvas.text(), "move").size(), 1u + 1u + 1u + 11u);
}

} // namespace
} // namespace kiro
