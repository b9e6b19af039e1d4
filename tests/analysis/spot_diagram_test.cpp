#include "analysis/spot_diagram.h"
#include "presenters/spot_dialog_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

#include "analysis/recording_canvas.h"
#include "analysis/spot_rays.h"
#include "model/design_file.h"
#include "tests/analysis/analysis_tables.h"
#include "tests/support/example_designs.h"
#include "trace/bundles.h"

namespace kiro {
namespace {

using test::linesOf;
using test::linesStartingWith;
using test::makeRow;
using test::numbersOf;

constexpr int kCentreX = 100;
constexpr int kCentreY = 135;

// A flat focal plane at z = 0 with h0 = 10: a ray launched at pupil point (p, q) parallel
// to the axis lands at (p, q, 0), and the reference point is the origin.
SurfaceTable landingPlane() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 10.0);
    return table;
}

Surface imageRowWithNormal(double nx, double ny, double nz) {
    Surface row = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 10.0);
    row.nx = nx;
    row.ny = ny;
    row.nz = nz;
    return row;
}

std::vector<std::string> pitchThreeDots(const Surface& imageRow, double magnification) {
    RecordingCanvas canvas;
    plotSpot(canvas, landingPlane(), imageRow, SpotGridMode::FixedPitch, 3, kCentreX, kCentreY,
             magnification, 0.0, 2);
    return linesOf(canvas.text());
}

TEST(SpotMagnification, ScrollTableAtItsBoundaries) {
    EXPECT_EQ(spotMagnificationForScroll(1), 25.0);
    EXPECT_EQ(spotMagnificationForScroll(15), 375.0);
    EXPECT_EQ(spotMagnificationForScroll(40), 1000.0);
    EXPECT_EQ(spotMagnificationForScroll(41), 1100.0);
    EXPECT_EQ(spotMagnificationForScroll(70), 4000.0);
    EXPECT_EQ(spotMagnificationForScroll(71), 4400.0);
    EXPECT_EQ(spotMagnificationForScroll(110), 20000.0);
    EXPECT_EQ(spotMagnificationForScroll(111), 21000.0);
    EXPECT_EQ(spotMagnificationForScroll(130), 40000.0);
    EXPECT_EQ(spotMagnificationForScroll(131), 44000.0);
    EXPECT_EQ(spotMagnificationForScroll(150), 120000.0);
}

TEST(SpotMagnification, PositionsOutsideTheBarAreKeptWithinIt) {
    EXPECT_EQ(spotMagnificationForScroll(0), 25.0);
    EXPECT_EQ(spotMagnificationForScroll(-5), 25.0);
    EXPECT_EQ(spotMagnificationForScroll(151), 120000.0);
}

TEST(SpotScaleSquare, SideIsTheSpanRoundedDownToItsLeadingDigit) {
    int side = 0;
    int half = 0;
    ASSERT_TRUE(spotScaleSquare(375.0, side, half));
    EXPECT_EQ(side, 400);
    EXPECT_EQ(half, 75);
    ASSERT_TRUE(spotScaleSquare(25.0, side, half));
    EXPECT_EQ(side, 6000);
    EXPECT_EQ(half, 75);
    ASSERT_TRUE(spotScaleSquare(120000.0, side, half));
    EXPECT_EQ(side, 1);
    EXPECT_EQ(half, 60);
}

TEST(SpotScaleSquare, NoSquareForANonPositiveMagnification) {
    int side = 0;
    int half = 0;
    EXPECT_FALSE(spotScaleSquare(0.0, side, half));
    EXPECT_FALSE(spotScaleSquare(-3.0, side, half));
}

TEST(SpotDialogOpening, HeightsAreWholeMillimetresOfTheLastRow) {
    SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0, 25.7);
    const SpotDialogState state = openSpotDialog(table);
    EXPECT_EQ(state.spotHeight, (std::array<double, 3>{0.0, 12.0, 25.0}));
    EXPECT_EQ(state.spotMagnification, 375.0);
    EXPECT_EQ(state.spotScrollPos, 15);
    EXPECT_EQ(state.spotLineShown, (std::array<int, 6>{1, 1, 1, 1, 1, 1}));

    table[1].effectiveRadius = -4.0;
    EXPECT_EQ(openSpotDialog(table).spotHeight, (std::array<double, 3>{0.0, 0.0, 0.0}));
    EXPECT_EQ(openSpotDialog(SurfaceTable{}).spotHeight, (std::array<double, 3>{0.0, 0.0, 0.0}));
}

TEST(SpotLineColour, SlotsHaveTheirColoursAndOthersAreBlack) {
    EXPECT_EQ(lineColour(1), (Colour{255, 64, 64}));
    EXPECT_EQ(lineColour(2), (Colour{192, 192, 0}));
    EXPECT_EQ(lineColour(6), (Colour{32, 32, 128}));
    EXPECT_EQ(lineColour(0), (Colour{64, 0, 0}));
    EXPECT_EQ(lineColour(7), (Colour{32, 0, 64}));
    EXPECT_EQ(lineColour(8), kBlack);
    EXPECT_EQ(lineColour(-1), kBlack);
}

TEST(SpotPlot, ImageRowFacingTheAxisPlotsXAndY) {
    const std::vector<std::string> dots = pitchThreeDots(imageRowWithNormal(0, 0, 1), 10.0);
    ASSERT_EQ(dots.size(), 64u);
    EXPECT_EQ(dots[0], "pixel 100 135 192 192 0");
    EXPECT_EQ(dots[3], "pixel 100 135 192 192 0");
    EXPECT_EQ(dots[4], "pixel 100 165 192 192 0");
    EXPECT_EQ(dots[5], "pixel 100 165 192 192 0");
    EXPECT_EQ(dots[6], "pixel 100 105 192 192 0");
    EXPECT_EQ(dots[7], "pixel 100 105 192 192 0");
    // u = 3, v = 0: (3, 0), (-3, 0), (3, -0), (-3, -0).
    EXPECT_EQ(dots[16], "pixel 130 135 192 192 0");
    EXPECT_EQ(dots[17], "pixel 70 135 192 192 0");
}

TEST(SpotPlot, ImageRowFacingSidewaysPlotsYAndZ) {
    const std::vector<std::string> dots = pitchThreeDots(imageRowWithNormal(1, 0, 0), 10.0);
    ASSERT_EQ(dots.size(), 64u);
    EXPECT_EQ(dots[4], "pixel 130 135 192 192 0");
    EXPECT_EQ(dots[6], "pixel 70 135 192 192 0");
    EXPECT_EQ(dots[16], "pixel 100 135 192 192 0");
}

TEST(SpotPlot, ImageRowFacingYPlotsXAndZ) {
    const std::vector<std::string> dots = pitchThreeDots(imageRowWithNormal(0, 1, 0), 10.0);
    ASSERT_EQ(dots.size(), 64u);
    EXPECT_EQ(dots[4], "pixel 100 135 192 192 0");
    EXPECT_EQ(dots[16], "pixel 130 135 192 192 0");
}

TEST(SpotPlot, TiesGoToTheEarlierComponent) {
    const double c = 1.0 / std::sqrt(2.0);
    EXPECT_EQ(pitchThreeDots(imageRowWithNormal(c, c, 0), 10.0),
              pitchThreeDots(imageRowWithNormal(1, 0, 0), 10.0));
    EXPECT_EQ(pitchThreeDots(imageRowWithNormal(c, 0, c), 10.0),
              pitchThreeDots(imageRowWithNormal(1, 0, 0), 10.0));
    EXPECT_EQ(pitchThreeDots(imageRowWithNormal(0, c, c), 10.0),
              pitchThreeDots(imageRowWithNormal(0, 1, 0), 10.0));
}

TEST(SpotPlot, DotsBeyondAHundredPixelsAreLeftOut) {
    // 9 mm at 11.2 pixels per mm is 100.8 pixels: the outer grid row and column drop out.
    const std::vector<std::string> clipped = pitchThreeDots(imageRowWithNormal(0, 0, 1), 11.2);
    EXPECT_EQ(clipped.size(), 36u);
    // 9 mm at 11.11 is 99.99 pixels: kept, at 99.
    const std::vector<std::string> kept = pitchThreeDots(imageRowWithNormal(0, 0, 1), 11.11);
    ASSERT_EQ(kept.size(), 64u);
    EXPECT_EQ(kept.back(), "pixel 1 36 192 192 0");
}

TEST(SpotPlot, PitchWiderThanTheApertureTracesOnlyTheCentre) {
    RecordingCanvas canvas;
    plotSpot(canvas, landingPlane(), imageRowWithNormal(0, 0, 1), SpotGridMode::FixedPitch, 20,
             kCentreX, kCentreY, 375.0, 0.0, 4);
    EXPECT_EQ(canvas.text(), "pixel 100 135 64 192 255\npixel 100 135 64 192 255\n"
                             "pixel 100 135 64 192 255\npixel 100 135 64 192 255\n");
}

TEST(SpotPlot, NothingWithoutAClearRadiusOrAGridStep) {
    SurfaceTable table = landingPlane();
    RecordingCanvas canvas;
    plotSpot(canvas, table, table[0], SpotGridMode::FixedPitch, 0, kCentreX, kCentreY, 375.0, 0.0,
             2);
    plotSpot(canvas, table, table[0], SpotGridMode::FixedPitch, -2, kCentreX, kCentreY, 375.0, 0.0,
             2);
    table[0].effectiveRadius = 0.0;
    plotSpot(canvas, table, table[0], SpotGridMode::FixedCount, 50, kCentreX, kCentreY, 375.0, 0.0,
             2);
    table[0].effectiveRadius = std::numeric_limits<double>::infinity();
    plotSpot(canvas, table, table[0], SpotGridMode::FixedPitch, 10, kCentreX, kCentreY, 375.0, 0.0,
             2);
    EXPECT_EQ(canvas.text(), "");
}

TEST(SpotPlot, StoppedRaysAreLeftOutAndTheReferenceIgnoresStops) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 10.0, 0.0, 10.0);
    table[1] = makeRow(SurfaceType::Obstruction, 5.0, 0.0, 4.0);
    table[2] = makeRow(SurfaceType::FlatFocal, 0.0, 0.0, 10.0);
    RecordingCanvas canvas;
    plotSpot(canvas, table, table[2], SpotGridMode::FixedPitch, 3, kCentreX, kCentreY, 10.0, 0.0,
             2);
    const std::vector<std::string> dots = linesOf(canvas.text());
    // The stop takes (6, 9), (9, 6) and (9, 9); the obstruction (0, 0), (0, 3), (3, 0).
    EXPECT_EQ(dots.size(), (16u - 6u) * 4u);
    EXPECT_EQ(dots[0], "pixel 100 195 192 192 0"); // (0, 6), offset from the origin
}

std::string framePicture(const SurfaceTable& table, double magnification) {
    SpotDialogState state;
    state.spotLineShown.fill(0);
    state.spotMagnification = magnification;
    RecordingCanvas canvas;
    paintSpotDialog(canvas, state, table, Settings{});
    return canvas.text();
}

TEST(SpotPaint, WithoutLinesOnlySeparatorsSquaresAndScaleLabels) {
    const std::string picture = framePicture(test::newtonian(), 375.0);
    const std::vector<std::string> lines = linesOf(picture);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "pen 1 0 0 0");
    EXPECT_EQ(lines[1], "move 200 35");
    EXPECT_EQ(lines[2], "line 200 235");
    EXPECT_EQ(lines[5], "text 10 40 400um");
    EXPECT_EQ(lines[6], "text 210 40 400um");
    EXPECT_EQ(lines[7], "text 410 40 400um");
    EXPECT_EQ(lines[8], "move 100 60");
    EXPECT_EQ(lines[9], "line 100 50");
    EXPECT_EQ(lines[10], "move 100 210");
    EXPECT_EQ(lines[11], "line 100 220");
    // Dots every 4 pixels from k = -75 while k < 75: 38 steps of four pixels a panel.
    EXPECT_EQ(lines[16], "pixel 175 60 0 0 0");
    EXPECT_EQ(lines[17], "pixel 175 210 0 0 0");
    EXPECT_EQ(lines[18], "pixel 25 210 0 0 0");
    EXPECT_EQ(lines[19], "pixel 175 210 0 0 0");
    EXPECT_EQ(linesStartingWith(picture, "pixel").size(), 3u * 38u * 4u);
    EXPECT_EQ(picture.find("°"), std::string::npos);
}

TEST(SpotPaint, PaintsTheSameOnAnyNumberOfThreadsAsPlotSpotInOrder) {
    const SurfaceTable table = test::newtonian();
    Settings settings;
    SpotDialogState state = openSpotDialog(table);
    state.spotLineShown = {1, 0, 1, 1, 0, 1};
    state.spotMagnification = 1000.0;

    RecordingCanvas expected;
    expected.clear();
    const std::string frame = framePicture(table, 1000.0);
    const double r = apertureRadius(table);
    const double f = zonalFocus(table, settings, 2, r / 100.0, ZonalMode::OpticalOnly).f;
    ASSERT_NE(f, 0.0);
    for (int s = 1; s <= 6; ++s) {
        if (state.spotLineShown[static_cast<size_t>(s - 1)] == 0) {
            continue;
        }
        for (int j = 0; j < 3; ++j) {
            const double angle = std::atan(state.spotHeight[static_cast<size_t>(j)] / f);
            plotSpot(expected, table, table[4], SpotGridMode::FixedCount, 50, 100 + 200 * j, 135,
                     1000.0, angle, s);
            char label[32];
            std::snprintf(label, sizeof label, "%.2f°", angle * 180.0 / 3.14159265358979323846);
            expected.textOut(80 + 200 * j, 230, label);
        }
    }
    const std::string wanted = frame + expected.text();
    EXPECT_GT(linesStartingWith(wanted, "pixel").size(), 5000u);

    for (int threads : {1, 2, 3, 8}) {
        RecordingCanvas canvas;
        paintSpotDialog(canvas, state, table, settings, threads);
        EXPECT_EQ(canvas.text(), wanted) << threads << " threads";
    }
}

// In a design lying in the x-z plane the grid's lower half is taken as the mirror image of
// its upper half: every landing the same as traced (a zero may differ in sign only, which
// no pixel and no statistic tells), on every example and panel.
TEST(SpotRays, MirroredLowerHalfLandsAsTraced) {
    int designs = 0;
    for (const std::filesystem::path& path : test::exampleDesignPaths()) {
        LensSystem lens;
        ASSERT_EQ(readDesignFile(lens, path.c_str()), 1);
        Settings settings;
        settings.spotGridPoints = 18;
        const SpotDialogState state = openSpotDialog(lens.surfaces);
        SpotPanels panels;
        ASSERT_TRUE(prepareSpotPanels(lens.surfaces, settings, state.spotHeight, panels));
        std::vector<double> values;
        spotGridOf(lens.surfaces, settings, values);
        std::vector<SpotLanding> mirrored(kPupilPointsPerGridPoint * values.size());
        std::vector<SpotLanding> traced(mirrored.size());
        for (size_t j = 0; j < kSpotPanelCount; ++j) {
            SpotBeam beam = panels.beam[j];
            ASSERT_TRUE(panels.ready[j] && beam.mirrored) << path;
            for (size_t row = 0; row < values.size(); ++row) {
                for (const int line : {WavelengthLine::C, WavelengthLine::h}) {
                    beam.mirrored = true;
                    traceSpotGridRow(lens.surfaces, beam, values, row, line, RepeatedPoints::Trace,
                                     mirrored.data());
                    beam.mirrored = false;
                    traceSpotGridRow(lens.surfaces, beam, values, row, line, RepeatedPoints::Trace,
                                     traced.data());
                    for (size_t k = 0; k < traced.size(); ++k) {
                        ASSERT_EQ(mirrored[k].arrived, traced[k].arrived) << path;
                        EXPECT_EQ(mirrored[k].offset.a, traced[k].offset.a) << path;
                        EXPECT_EQ(mirrored[k].offset.b, traced[k].offset.b) << path;
                    }
                }
            }
        }
        ++designs;
    }
    EXPECT_GE(designs, 10);
}

TEST(SpotPaint, ZeroFocalLengthLeavesThePanelsWithoutDotsOrLabels) {
    // The flat mirror lies along the rays, so the zonal rays miss it: no focal length.
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 10.0);
    table[1] = makeRow(SurfaceType::FlatMirror, -10.0, 0.0, 10.0);
    table[1].nx = 1.0;
    table[1].nz = 0.0;
    table[2] = makeRow(SurfaceType::FlatFocal, -20.0, 0.0, 5.0);
    ASSERT_EQ(zonalFocus(table, Settings{}, 2, 0.1, ZonalMode::OpticalOnly).f, 0.0);
    RecordingCanvas canvas;
    paintSpotDialog(canvas, openSpotDialog(table), table, Settings{});
    EXPECT_EQ(canvas.text(), framePicture(table, 375.0));

    // Facing the beam, the mirror sends the zonal rays back parallel: an infinite focal
    // length, no field angle and no "inf" or "nan" label either.
    table[1].nx = 0.0;
    table[1].nz = 1.0;
    ASSERT_TRUE(std::isinf(zonalFocus(table, Settings{}, 2, 0.1, ZonalMode::OpticalOnly).f));
    RecordingCanvas parallel;
    paintSpotDialog(parallel, openSpotDialog(table), table, Settings{});
    EXPECT_EQ(parallel.text(), framePicture(table, 375.0));
}

TEST(SpotPaint, HeightZeroIsTheAxialPanelAtZeroDegrees) {
    const SurfaceTable table = test::newtonian();
    SpotDialogState state = openSpotDialog(table);
    state.spotLineShown = {0, 1, 0, 0, 0, 0};
    RecordingCanvas canvas;
    paintSpotDialog(canvas, state, table, Settings{});
    const std::vector<std::string> labels = linesStartingWith(canvas.text(), "text 80 230");
    EXPECT_EQ(labels, (std::vector<std::string>{"text 80 230 0.00°"}));
}

} // namespace
} // namespace kiro
