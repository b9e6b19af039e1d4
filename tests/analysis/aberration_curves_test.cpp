#include "analysis/aberration_curves.h"
#include "presenters/curve_dialog_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "analysis/recording_canvas.h"
#include "tests/analysis/analysis_tables.h"

namespace kiro {
namespace {

using test::linesOf;
using test::linesStartingWith;
using test::makeRow;
using test::numbersOf;

constexpr int kWidth = 560;
constexpr int kPlotHeight = 560;

struct CurvePoint {
    int x;
    int y;
};

// The points drawn after the last selection of the given pen.
std::vector<CurvePoint> curveAfterPen(const std::string& picture, const std::string& pen) {
    const std::vector<std::string> lines = linesOf(picture);
    const auto it = std::find(lines.rbegin(), lines.rend(), pen);
    std::vector<CurvePoint> points;
    if (it == lines.rend()) {
        return points;
    }
    for (auto line = it.base(); line != lines.end(); ++line) {
        if (line->rfind("pen", 0) == 0) {
            break;
        }
        const std::vector<int> n = numbersOf(*line);
        points.push_back({n[0], n[1]});
    }
    return points;
}

std::string saCurve(const SurfaceTable& table, int line, double scale = 50.0) {
    RecordingCanvas canvas;
    drawSphericalAberrationCurve(canvas, table, Settings{}, kWidth, kPlotHeight, line,
                                 apertureRadius(table), scale);
    return canvas.text();
}

TEST(CurveScale, ScrollTableAtItsBoundaries) {
    EXPECT_EQ(curveScaleForScroll(1), 5.0);
    EXPECT_EQ(curveScaleForScroll(10), 50.0);
    EXPECT_EQ(curveScaleForScroll(59), 295.0);
    EXPECT_EQ(curveScaleForScroll(60), 300.0);
    EXPECT_EQ(curveScaleForScroll(119), 890.0);
    EXPECT_EQ(curveScaleForScroll(120), 900.0);
    EXPECT_EQ(curveScaleForScroll(150), 1500.0);
    EXPECT_EQ(curveScaleForScroll(0), 5.0);
    EXPECT_EQ(curveScaleForScroll(200), 1500.0);
}

TEST(CurveGrid, UnitIsThePowerOfTenThatFiftyPixelsReach) {
    // ln 1000 / ln 10 comes out just below 3, so the opening scale has 100 um columns.
    EXPECT_EQ(curveGridUnit(50.0), 100.0);
    EXPECT_EQ(curveGridUnit(5.0), 10000.0);
    EXPECT_EQ(curveGridUnit(500.0), 100.0);
}

TEST(CurveFrame, AxesThenGridTicksAndLabel) {
    RecordingCanvas canvas;
    drawCurveFrame(canvas, kWidth, kPlotHeight, 50.0, true);
    const std::vector<std::string> lines = linesOf(canvas.text());
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 14),
              (std::vector<std::string>{"pen 2 0 0 0", "move 280 60", "line 280 555", "move 10 550",
                                        "line 550 550", "pen 1 0 0 0", "move 285 550",
                                        "line 285 555", "move 275 550", "line 275 555",
                                        "pixel 285 60 0 0 0", "pixel 275 60 0 0 0",
                                        "pixel 285 64 0 0 0", "pixel 275 64 0 0 0"}));
    // Columns every 5 pixels out to the baseline's ends, each with a dot every 4 rows.
    EXPECT_EQ(linesStartingWith(canvas.text(), "move").size() - 2u - 10u, 2u * 53u);
    EXPECT_EQ(linesStartingWith(canvas.text(), "pixel").size(), 53u * 2u * 123u);
    const std::vector<std::string> tail(lines.end() - 21, lines.end());
    EXPECT_EQ(tail[0], "move 277 501");
    EXPECT_EQ(tail[1], "line 283 501");
    EXPECT_EQ(tail[8], "move 274 305");
    EXPECT_EQ(tail[9], "line 286 305");
    EXPECT_EQ(tail[18], "move 277 60");
    EXPECT_EQ(tail[20], "text 0 500 １目盛：100um");
}

TEST(CurveFrame, WithoutDotsThereAreNoPixels) {
    RecordingCanvas canvas;
    drawCurveFrame(canvas, kWidth, kPlotHeight, 50.0, false);
    EXPECT_TRUE(linesStartingWith(canvas.text(), "pixel").empty());
}

TEST(CurveFrame, LabelFollowsTheScale) {
    RecordingCanvas canvas;
    drawCurveFrame(canvas, kWidth, kPlotHeight, 5.0, false);
    EXPECT_EQ(linesOf(canvas.text()).back(), "text 0 500 １目盛：10000um");
}

TEST(SphericalAberrationCurve, ParaboloidDLineStandsOnTheAxis) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::ParaboloidMirror, 0.0, 400.0, 25.0);
    table[1] = makeRow(SurfaceType::FlatFocal, 200.0, 0.0, 5.0);
    const std::vector<CurvePoint> points = curveAfterPen(saCurve(table, 2), "pen 1 192 192 0");
    ASSERT_EQ(points.size(), 50u);
    for (const CurvePoint& p : points) {
        EXPECT_EQ(p.x, 280);
    }
}

TEST(SphericalAberrationCurve, EndsAtTheLastZoneTheFirstMirrorPasses) {
    const SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    const std::string picture = saCurve(table, 2);
    const std::vector<CurvePoint> points = curveAfterPen(picture, "pen 1 192 192 0");
    ASSERT_EQ(points.size(), 50u); // zones 0.01 r .. 0.99 r; 1.01 r is stopped
    EXPECT_EQ(points.front().y, 550 - 5);
    EXPECT_EQ(points.back().y, 550 - 495);
    // The marginal focus lies 3.2 mm nearer the mirror (smaller z): plotted 160 pixels
    // to the right, as (zRef - z) * scale.
    EXPECT_EQ(points.back().x, 280 + 160);
    const std::vector<std::string> moves = linesStartingWith(picture, "move");
    EXPECT_EQ(moves.back().substr(0, 9), "move 280 "); // one move: the curve's start
}

TEST(SphericalAberrationCurve, ZoneRowsFollowHeightsDividedOutOfTheRadius) {
    // With r = 88.9 the zones r/100 and r/100 + r/50 give 500 / r * t a hair below 5 and
    // 15, so they sit on rows 546 and 536; heights of 0.01 r and 0.02 r would land a
    // hair above and a row higher.
    const SurfaceTable table = test::sphericalMirror(200.0, 88.9, 100.0);
    const std::vector<CurvePoint> sa = curveAfterPen(saCurve(table, 2), "pen 1 192 192 0");
    ASSERT_GE(sa.size(), 2u);
    EXPECT_EQ(sa[0].y, 546);
    EXPECT_EQ(sa[1].y, 536);

    CurveDialogState state;
    state.curveLineShown.fill(0);
    RecordingCanvas canvas;
    paintCurveDialog(canvas, state, table, Settings{}, kWidth, kPlotHeight);
    const std::vector<CurvePoint> sine = curveAfterPen(canvas.text(), "pen 1 0 0 0");
    ASSERT_GE(sine.size(), 2u);
    EXPECT_EQ(sine[0].y, 546);
    EXPECT_EQ(sine[1].y, 536);
}

TEST(SphericalAberrationCurve, ZonesThatFailAreBridged) {
    // A glass-free sphere of 0.4 mm just in front of the marginal focus: the rays of the
    // middle zones pass it too far from its centre and miss it.
    SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    table[2] = table[1];
    table[1] = makeRow(SurfaceType::SphericalLens, 96.9 - 0.4, 0.4, 1.0);
    const std::vector<CurvePoint> points = curveAfterPen(saCurve(table, 2), "pen 1 192 192 0");
    ASSERT_GT(points.size(), 3u);
    ASSERT_LT(points.size(), 50u);
    int widestStep = 0;
    for (size_t k = 1; k < points.size(); ++k) {
        widestStep = std::max(widestStep, points[k - 1].y - points[k].y);
    }
    EXPECT_GT(widestStep, 30);
}

TEST(CurveDialog, OtherLinesStandOffByTheirColour) {
    // A single glass surface: the blue focus lies short of the d focus (to the left).
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalLens, 0.0, -100.0, 10.0);
    table[0].index = {1.5, 1.514, 1.517, 1.519, 1.522, 1.527, 1.53, 1.5};
    table[1] = makeRow(SurfaceType::FlatFocal, -300.0, 0.0, 5.0);
    const std::vector<CurvePoint> d = curveAfterPen(saCurve(table, 2, 5.0), "pen 1 192 192 0");
    const std::vector<CurvePoint> f = curveAfterPen(saCurve(table, 4, 5.0), "pen 1 64 192 255");
    ASSERT_FALSE(d.empty());
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(d.front().x, 280);
    EXPECT_LT(f.front().x, 280);
}

TEST(CurveDialog, WithoutLinesOnlyTheSineCurveAndItsFrame) {
    CurveDialogState state;
    state.curveLineShown.fill(0);
    RecordingCanvas canvas;
    paintCurveDialog(canvas, state, test::newtonian(), Settings{}, kWidth, kPlotHeight);
    EXPECT_EQ(linesStartingWith(canvas.text(), "pen"),
              (std::vector<std::string>{"pen 2 0 0 0", "pen 1 0 0 0", "pen 1 0 0 0"}));
    EXPECT_TRUE(linesStartingWith(canvas.text(), "pixel").empty());
    // A paraboloid misses the sine condition: its zonal focal lengths grow outwards, so
    // the curve leans left.
    const std::vector<CurvePoint> sine = curveAfterPen(canvas.text(), "pen 1 0 0 0");
    ASSERT_EQ(sine.size(), 50u);
    EXPECT_EQ(sine.front().x, 280);
    EXPECT_LT(sine.back().x, 280 - 100);
}

TEST(CurveDialog, EachShownLineDrawsItsFrameAndCurveThenTheSineCurve) {
    CurveDialogState state;
    state.curveLineShown = {1, 0, 0, 1, 0, 0};
    RecordingCanvas canvas;
    paintCurveDialog(canvas, state, test::newtonian(), Settings{}, kWidth, kPlotHeight);
    EXPECT_EQ(linesStartingWith(canvas.text(), "pen"),
              (std::vector<std::string>{"pen 2 0 0 0", "pen 1 0 0 0", "pen 1 255 64 64",
                                        "pen 2 0 0 0", "pen 1 0 0 0", "pen 1 64 192 255",
                                        "pen 2 0 0 0", "pen 1 0 0 0", "pen 1 0 0 0"}));
}

TEST(CurveDialog, NoApertureDrawsNothing) {
    SurfaceTable table = test::sphericalMirror(200.0, 0.0, 100.0);
    RecordingCanvas canvas;
    paintCurveDialog(canvas, CurveDialogState{}, table, Settings{}, kWidth, kPlotHeight);
    paintCurveDialog(canvas, CurveDialogState{}, SurfaceTable{}, Settings{}, kWidth, kPlotHeight);
    EXPECT_EQ(canvas.text(), "");
}

} // namespace
} // namespace kiro
