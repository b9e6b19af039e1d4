#include "analysis/spot_statistics.h"

#include "presenters/spot_dialog_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "analysis/recording_canvas.h"
#include "tests/analysis/analysis_tables.h"

namespace kiro {
namespace {

using test::linesOf;
using test::linesStartingWith;
using test::makeRow;
using test::numbersOf;

constexpr double kMicrometres = 1000.0; // per mm

SpotDialogState panelsAt(double a, double b, double c) {
    SpotDialogState state;
    state.spotHeight = {a, b, c};
    return state;
}

SpotDialogState onlyLine(int line, SpotDialogState state) {
    state.spotLineShown.fill(0);
    state.spotLineShown[static_cast<size_t>(line - 1)] = 1;
    return state;
}

// A 200 mm f/5 paraboloid with the focal plane at its focus.
SurfaceTable paraboloid() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::ParaboloidMirror, 0.0, 2000.0, 100.0);
    table[1] = makeRow(SurfaceType::FlatFocal, 1000.0, 0.0, 25.0);
    return table;
}

Settings pitchOf(int millimetres) {
    Settings settings;
    settings.spotGridMode = SpotGridMode::FixedPitch;
    settings.spotGridPitch = millimetres;
    return settings;
}

// Stops, then a plate of almost no power (focal length about 2 km, so that the panels
// have a field angle) and the focal plane right behind it: a ray lands within a part in a
// million of its own pupil point, so the spot is the pupil grid itself (on a 1 mm pitch,
// integer points) within the 5 mm stop.
SurfaceTable stoppedGrid() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 10.0);
    table[1] = makeRow(SurfaceType::Stop, -1.0, 0.0, 5.0);
    table[2] = makeRow(SurfaceType::SphericalLens, -2.0, -1.0e6, 10.0);
    table[2].index = {1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5};
    table[3] = makeRow(SurfaceType::FlatLens, -3.0, 0.0, 10.0);
    table[4] = makeRow(SurfaceType::FlatFocal, -4.0, 0.0, 10.0);
    return table;
}

// A plano-convex singlet of a crown glass: each line focuses at its own distance.
SurfaceTable singlet() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalLens, 0.0, -250.0, 25.0);
    table[0].index = {1.5168, 1.5143, 1.5168, 1.5187, 1.5224, 1.5267, 1.5302, 1.5168};
    table[1] = makeRow(SurfaceType::FlatLens, -5.0, 0.0, 25.0);
    table[2] = makeRow(SurfaceType::FlatFocal, -485.0, 0.0, 20.0);
    return table;
}

TEST(AiryRadius, IsOnePointTwoTwoLambdaNWhereThereIsAnFNumber) {
    // 200 mm f/5 at the d line: 1.22 x 0.5875618 um x 5.
    EXPECT_NEAR(airyRadius(WavelengthLine::d, 5.0), 3.5841, 1e-4);
    EXPECT_DOUBLE_EQ(airyRadius(WavelengthLine::h, 10.0), 1.22 * 0.4046561 * 10.0);
    for (const double n : {0.0, -5.0, std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_EQ(airyRadius(WavelengthLine::d, n), 0.0) << n;
    }
    EXPECT_EQ(airyRadius(7, 5.0), 0.0);
}

TEST(SpotStatisticsParaboloid, EveryRayOnAxisMeetsTheReferencePoint) {
    const SpotStatistics stats =
        spotStatistics(paraboloid(), Settings{}, panelsAt(0.0, 10.0, 20.0));
    ASSERT_TRUE(stats.focused);
    EXPECT_NEAR(stats.fNumber, 5.0, 1e-6);
    EXPECT_NEAR(stats.airy[WavelengthLine::d - 1], 3.5841, 1e-4);

    const SpotPanelStatistics& axis = stats.panels[0];
    ASSERT_TRUE(axis.ready);
    // 50 points across: a 4 mm grid, of which the integer points (i, j) with
    // i^2 + j^2 <= 25^2 lie within the mirror.
    EXPECT_EQ(axis.lines[WavelengthLine::d - 1].rays, 1957);
    EXPECT_EQ(axis.all.rays, 6 * 1957);
    for (const SpotSpread& spread : {axis.lines[WavelengthLine::d - 1], axis.all}) {
        EXPECT_TRUE(spread.measured);
        EXPECT_LT(std::hypot(spread.centroidA, spread.centroidB), 1e-6);
        EXPECT_LT(spread.rmsRadius, 1e-6);
        EXPECT_LT(spread.geoRadius, 1e-6);
    }
}

TEST(SpotStatisticsSphericalMirror, GeometricRadiusIsTheExactTransverseAberration) {
    // A slow spherical mirror, R = 2000, with the focal plane at the paraxial focus R/2.
    constexpr double kRadius = 2000.0;
    const SurfaceTable table = test::sphericalMirror(kRadius, 55.0, kRadius / 2.0);
    const SpotStatistics stats = spotStatistics(table, pitchOf(10), panelsAt(0.0, 0.0, 0.0));
    const SpotSpread& spot = stats.panels[0].lines[WavelengthLine::d - 1];
    ASSERT_TRUE(spot.measured);
    EXPECT_LT(std::hypot(spot.centroidA, spot.centroidB), 1e-9);

    // The reflected ray of zone rho meets the axis at R / (2 cos t) from the centre of
    // curvature, sin t = rho / R (the isosceles triangle of the law of reflection; Hecht,
    // "Optics", on spherical mirrors). Along that ray from the mirror point, at height rho
    // and sag R (1 - cos t), to the paraxial focal plane R/2 the height falls to
    //   T(rho) = rho (1 - cos t) / cos 2t,
    // which for small t is the third-order rho^3 / (2 R^2) of the lower-order theory.
    const auto transverse = [](double rho) {
        const double t = std::asin(rho / kRadius);
        return rho * (1.0 - std::cos(t)) / std::cos(2.0 * t);
    };
    // On the 10 mm grid the farthest pupil point within 55 mm is (50, 20).
    const double farthest = std::hypot(50.0, 20.0);
    const double expected = transverse(farthest) * kMicrometres;
    EXPECT_NEAR(spot.geoRadius, expected, 1e-6 * expected); // well within 1 %
}

TEST(SpotStatisticsVignetting, AStopOfHalfTheAreaHalvesTheCount) {
    SurfaceTable open{};
    open[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 100.0);
    // The primary is large enough that no field shown vignettes at it.
    open[1] = makeRow(SurfaceType::ParaboloidMirror, -1000.0, 2000.0, 120.0);
    open[2] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 25.0);
    SurfaceTable stopped = open;
    stopped[1] = makeRow(SurfaceType::Stop, -10.0, 0.0, 100.0 / std::sqrt(2.0));
    stopped[2] = open[1];
    stopped[3] = open[2];
    const SpotDialogState state = onlyLine(WavelengthLine::d, panelsAt(0.0, 5.0, 10.0));
    const SpotStatistics full = spotStatistics(open, Settings{}, state);
    const SpotStatistics half = spotStatistics(stopped, Settings{}, state);
    for (size_t j = 0; j < 3; ++j) {
        const int all = full.panels[j].all.rays;
        const int through = half.panels[j].all.rays;
        ASSERT_GT(all, 1900) << j;
        EXPECT_NEAR(static_cast<double>(through) / all, 0.5, 0.02) << j;
    }
}

TEST(SpotStatisticsVignetting, OnlyArrivingRaysCountEachPupilPointOnce) {
    // The picture plots the points on the axes twice, the counts take them once: the stop
    // lets the 81 points with i^2 + j^2 <= 25 through, whose squared distances sum to
    // 1052 mm^2.
    const SpotSpread stopped =
        spotStatistics(stoppedGrid(), pitchOf(1), onlyLine(3, panelsAt(0.0, 0.0, 0.0)))
            .panels[0]
            .all;
    EXPECT_EQ(stopped.rays, 81);
    EXPECT_NEAR(stopped.centroidA, 0.0, 1e-9);
    EXPECT_NEAR(stopped.centroidB, 0.0, 1e-9);
    const double rms = std::sqrt(1052.0 / 81.0) * kMicrometres;
    EXPECT_NEAR(stopped.rmsRadius, rms, 1e-5 * rms);
    EXPECT_NEAR(stopped.geoRadius, 5.0 * kMicrometres, 1e-5 * 5.0 * kMicrometres);
}

TEST(SpotStatisticsVignetting, APanelNoRayReachesHasNoNumbers) {
    // At 200 mm the beam passes 200 mm beside the primary: no ray, not even of the
    // reference fan, comes through.
    const SpotStatistics stats =
        spotStatistics(test::newtonian(), Settings{}, panelsAt(0.0, 10.0, 200.0));
    ASSERT_TRUE(stats.focused);
    EXPECT_TRUE(stats.panels[1].all.measured);
    const SpotPanelStatistics& lost = stats.panels[2];
    EXPECT_FALSE(lost.ready);
    for (const SpotSpread& spread : {lost.all, lost.lines[0], lost.lines[5]}) {
        EXPECT_EQ(spread.rays, 0);
        EXPECT_FALSE(spread.measured);
    }
    // Nor has a design without rows.
    const SpotStatistics empty = spotStatistics(SurfaceTable{}, Settings{}, SpotDialogState{});
    EXPECT_FALSE(empty.focused);
    EXPECT_EQ(empty.airy[1], 0.0);
    EXPECT_FALSE(empty.panels[0].all.measured);
}

TEST(SpotStatistics, AllLinesTogetherPoolTheRaysOfTheShownLines) {
    SpotDialogState state = panelsAt(0.0, 8.0, 16.0);
    state.spotLineShown = {1, 1, 0, 1, 0, 0};
    const SpotStatistics stats = spotStatistics(singlet(), Settings{}, state);
    ASSERT_TRUE(stats.focused);
    for (const SpotPanelStatistics& panel : stats.panels) {
        ASSERT_TRUE(panel.all.measured);
        EXPECT_EQ(panel.lines[2].rays, 0); // e is not shown
        // The pooled spread splits into each line's spread about its own centroid and the
        // spread of the centroids about the pooled one.
        int rays = 0;
        double a = 0.0;
        for (const SpotSpread& line : panel.lines) {
            rays += line.rays;
            a += line.rays * line.centroidA;
        }
        EXPECT_EQ(panel.all.rays, rays);
        EXPECT_NEAR(panel.all.centroidA, a / rays, 1e-9);
        double squares = 0.0;
        for (const SpotSpread& line : panel.lines) {
            const double da = line.centroidA - panel.all.centroidA;
            const double db = line.centroidB - panel.all.centroidB;
            squares += line.rays * (line.rmsRadius * line.rmsRadius + da * da + db * db);
        }
        EXPECT_NEAR(panel.all.rmsRadius, std::sqrt(squares / rays), 1e-9 * panel.all.rmsRadius);
    }
    // On axis the lines share the centroid, so the largest line spot bounds the pool.
    const SpotPanelStatistics& axis = stats.panels[0];
    EXPECT_DOUBLE_EQ(axis.all.geoRadius, std::max({axis.lines[0].geoRadius, axis.lines[1].geoRadius,
                                                   axis.lines[3].geoRadius}));
}

TEST(SpotStatistics, NumbersDoNotDependOnThreadsOrOnKeepingTheLandings) {
    const SurfaceTable table = test::newtonian();
    const SpotDialogState state = panelsAt(0.0, 12.0, 25.0);
    const SpotStatistics one = spotStatistics(table, Settings{}, state, 1);
    const SpotStatistics three = spotStatistics(table, Settings{}, state, 3);
    EXPECT_EQ(three.panels[2].all.rmsRadius, one.panels[2].all.rmsRadius);
    EXPECT_EQ(three.panels[2].lines[4].centroidA, one.panels[2].lines[4].centroidA);
    // Grids too large to keep are traced afresh instead, to the same numbers.
    SpotPanels panels;
    ASSERT_TRUE(prepareSpotPanels(table, Settings{}, state.spotHeight, panels));
    std::vector<double> values;
    spotGridOf(table, Settings{}, values);
    const SpotSpread traced =
        panelSpread(table, panels, 2, spotTasks(state), values, SpotLandingBatch{}, kAllLines);
    EXPECT_EQ(traced.rays, one.panels[2].all.rays);
    EXPECT_EQ(traced.rmsRadius, one.panels[2].all.rmsRadius);
    EXPECT_EQ(traced.geoRadius, one.panels[2].all.geoRadius);
}

// The picture with the Airy option.
std::string picture(const SurfaceTable& table, const SpotDialogState& state) {
    RecordingCanvas canvas;
    paintSpotDialog(canvas, state, table, Settings{});
    return canvas.text();
}

SpotDialogState withAiry(SpotDialogState state, double magnification) {
    state.spotMagnification = magnification;
    state.spotAiryShown = true;
    return state;
}

TEST(SpotPaintAiry, TheOptionOnlyAddsToThePicture) {
    const SurfaceTable table = test::newtonian();
    SpotDialogState state = openSpotDialog(table);
    EXPECT_FALSE(state.spotAiryShown);
    state.spotMagnification = 20000.0;
    const std::string without = picture(table, state);
    const std::string with = picture(table, withAiry(state, 20000.0));
    ASSERT_GT(with.size(), without.size());
    EXPECT_EQ(with.substr(0, without.size()), without);
    // Three disks of 64 sides and two lines of text a panel.
    const std::vector<std::string> added = linesOf(with.substr(without.size()));
    EXPECT_EQ(added.size(), 3u * (1 + 64 + 2));
}

TEST(SpotPaintAiry, TheDiskRadiusIsTheAiryRadiusTimesTheMagnification) {
    const SpotDialogState state = panelsAt(0.0, 5.0, 10.0);
    const double airy = spotStatistics(paraboloid(), Settings{}, state).airy[1];
    const double radius = airy / kMicrometres * 20000.0; // pixels at 20000 per mm
    ASSERT_NEAR(radius, 71.68, 0.01);
    const std::string drawn = picture(paraboloid(), withAiry(state, 20000.0));
    const std::vector<std::string> moves = linesStartingWith(drawn, "move");
    EXPECT_EQ(moves.back(), "move 571 135");
    std::vector<std::string> corners = linesStartingWith(drawn, "line");
    corners.erase(corners.begin(), corners.end() - 3 * 64);
    for (size_t k = 0; k < corners.size(); ++k) {
        const std::vector<int> p = numbersOf(corners[k]);
        const double distance =
            std::hypot(p[0] - (100 + 200 * static_cast<int>(k / 64)), p[1] - 135);
        EXPECT_LE(distance, radius) << corners[k];
        EXPECT_GT(distance, radius - std::sqrt(2.0)) << corners[k];
    }
    EXPECT_EQ(corners.back(), "line 571 135"); // closed

    // 120000 pixels per mm make the disk 430 pixels wide, 25 a tenth of a pixel: then
    // only the numbers are added.
    for (const double magnification : {120000.0, 25.0}) {
        SpotDialogState plain = state;
        plain.spotMagnification = magnification;
        const std::string without = picture(paraboloid(), plain);
        const std::string with = picture(paraboloid(), withAiry(plain, magnification));
        EXPECT_EQ(linesOf(with.substr(without.size())).size(), 6u) << magnification;
    }
}

TEST(SpotPaintAiry, ThePanelsNumbersAreTheStatisticsOfTheShownLines) {
    const SurfaceTable table = test::newtonian();
    SpotDialogState state = panelsAt(0.0, 10.0, 200.0);
    state.spotLineShown = {0, 1, 0, 1, 0, 1};
    const SpotStatistics stats = spotStatistics(table, Settings{}, state);
    const std::vector<std::string> texts =
        linesStartingWith(picture(table, withAiry(state, 375.0)), "text");
    const std::vector<std::string> last(texts.end() - 6, texts.end());
    EXPECT_EQ(last[0], "text 10 246 " + spotSpreadText(stats.panels[0].all));
    EXPECT_EQ(last[2], "text 210 246 " + spotSpreadText(stats.panels[1].all));
    EXPECT_EQ(last[4], "text 410 246 RMS -  GEO -");
    EXPECT_EQ(last[5], "text 410 260 Airy 3.6µm");
}

} // namespace
} // namespace kiro
