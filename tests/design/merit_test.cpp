#include "design/merit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/design/sample_designs.h"
#include "trace/bundles.h"

namespace kiro {
namespace {

using samples::row;

// Axial focus of the zone at height h of a concave spherical mirror (vertex at z = 0,
// centre at z = R). With sin t = h / R the reflected ray leaves at 2t to the axis; centre,
// hit point and crossing form an isosceles triangle with base angles t, so the crossing
// lies R / (2 cos t) from the centre.
double mirrorZoneFocus(double radius, double h) {
    return radius - radius / (2.0 * std::cos(std::asin(h / radius)));
}
// Its sine-condition focal length h / sin u' = R / (2 cos t).
double mirrorZoneFocalLength(double radius, double h) {
    return radius / (2.0 * std::cos(std::asin(h / radius)));
}

TEST(ZoneSet, HasNineZonesFromHMinWithTheDivisor801) {
    const double step = zoneStep(1.0, 10.0);
    for (int k = 0; k < kZoneCount; ++k) {
        EXPECT_DOUBLE_EQ(zoneHeight(1.0, step, k), 1.0 + k * 9.0 / 8.01);
        EXPECT_LT(zoneHeight(1.0, step, k), 10.0);
    }
    // A tenth zone would lie beyond h_max, so h_max itself is never traced.
    EXPECT_GT(zoneHeight(1.0, step, kZoneCount), 10.0);
}

TEST(SphericalAberration, IsTheSpreadOfTheNineZoneFoci) {
    const LensSystem lens = samples::sphericalMirror();
    const double hMin = 1.0, hMax = 40.0;
    const double step = zoneStep(hMin, hMax);
    double lowest = 1e300, highest = -1e300;
    for (int k = 0; k < kZoneCount; ++k) {
        const ZonalFocus zone = zonalFocus(lens.surfaces, lens.settings, 2,
                                           zoneHeight(hMin, step, k), ZonalMode::WithStops);
        ASSERT_NE(zone.f, 0.0);
        lowest = std::min(lowest, zone.point.z);
        highest = std::max(highest, zone.point.z);
    }
    EXPECT_EQ(sphericalAberration(lens.surfaces, lens.settings, hMin, hMax, 2), highest - lowest);
}

TEST(SphericalAberration, MatchesTheMirrorsExactZoneFoci) {
    const LensSystem lens = samples::sphericalMirror();
    const double hMin = 1.0, hMax = 40.0;
    const double outer = zoneHeight(hMin, zoneStep(hMin, hMax), kZoneCount - 1);
    const double expected = mirrorZoneFocus(200.0, hMin) - mirrorZoneFocus(200.0, outer);
    EXPECT_NEAR(sphericalAberration(lens.surfaces, lens.settings, hMin, hMax, 3), expected, 1e-9);
}

TEST(SphericalAberration, VanishesForAParaboloid) {
    const LensSystem lens = samples::paraboloidMirror();
    EXPECT_NEAR(sphericalAberration(lens.surfaces, lens.settings, 0.5, 50.0, 2), 0.0, 1e-9);
}

TEST(SphericalAberration, GivesTheFailureValueWhenNothingCanBeMeasured) {
    const LensSystem empty = samples::emptyDesign();
    EXPECT_EQ(sphericalAberration(empty.surfaces, empty.settings, 1, 10, 2), 1e10);

    const LensSystem mirror = samples::sphericalMirror();
    EXPECT_EQ(sphericalAberration(mirror.surfaces, mirror.settings, 0.0, 10, 2), kUnmeasurable);
    EXPECT_EQ(sphericalAberration(mirror.surfaces, mirror.settings, -1.0, 10, 2), kUnmeasurable);
    EXPECT_EQ(sphericalAberration(mirror.surfaces, mirror.settings, 11, 10, 2), kUnmeasurable);
    EXPECT_EQ(sphericalAberration(mirror.surfaces, mirror.settings, NAN, 10, 2), kUnmeasurable);
    EXPECT_EQ(sphericalAberration(mirror.surfaces, mirror.settings, 1, INFINITY, 2), kUnmeasurable);

    // A stop whose normal is (1, 0, 1e-320) sends every zone ray to infinity: the rays
    // end dead, so nothing is measured and no measure turns NaN.
    LensSystem lost = samples::sphericalMirror();
    lost.surfaces[2] = lost.surfaces[1];
    lost.surfaces[1] = lost.surfaces[0];
    lost.surfaces[0] = row(SurfaceType::Stop, 10, 0, 100);
    lost.surfaces[0].nx = 1.0;
    lost.surfaces[0].nz = 1e-320;
    EXPECT_EQ(sphericalAberration(lost.surfaces, lost.settings, 1, 10, 2), kUnmeasurable);
    EXPECT_EQ(chromaticAberration(lost.surfaces, lost.settings, 1, 10, 0x12), 0.0);
    EXPECT_FALSE(std::isnan(sineConditionOffence(lost.surfaces, lost.settings, 1, 10, 2)));
}

// Parallel final rays (a flat mirror), a mirror of radius 1e300 and an exploded lens give
// no usable focus: each measure is then its failure value, never inf or nan, whatever the
// zone range and line.
TEST(EveryMeasure, IsFiniteOnDesignsWithoutAFocus) {
    LensSystem flat = samples::sphericalMirror();
    flat.surfaces[0].type = SurfaceType::FlatMirror;
    LensSystem huge = samples::sphericalMirror();
    huge.surfaces[0].radius = 1e300;
    LensSystem steep = samples::achromaticDoublet();
    for (int i = 0; i < kSurfaceRows && steep.surfaces[i].type >= 0; ++i) {
        steep.surfaces[i].radius *= 1e-3;
    }
    for (const LensSystem* lens : {&flat, &huge, &steep}) {
        for (const double hMax : {10.0, 49.0, 1e300}) {
            for (int line = 1; line <= 6; ++line) {
                const SurfaceTable& t = lens->surfaces;
                const Settings& s = lens->settings;
                EXPECT_TRUE(std::isfinite(sphericalAberration(t, s, 0.5, hMax, line)));
                EXPECT_TRUE(std::isfinite(chromaticAberration(t, s, 0.5, hMax, 0x7e)));
                EXPECT_TRUE(std::isfinite(sineConditionOffence(t, s, 0.5, hMax, line)));
                EXPECT_TRUE(std::isfinite(meanFocus(t, s, 0.5, hMax, line)));
            }
        }
    }
    EXPECT_EQ(sineConditionOffence(flat.surfaces, flat.settings, 1, 40, 2), 0.0);
}

TEST(SphericalAberration, ObstructedZonesFailWhileChromaticStillMeasures) {
    LensSystem lens = samples::achromaticDoublet();
    // An obstruction wider than every zone: mode 0 loses all of them, mode 1 ignores it.
    std::copy_backward(lens.surfaces.begin() + 1, lens.surfaces.end() - 1, lens.surfaces.end());
    lens.surfaces[1] = row(SurfaceType::Obstruction, -0.5, 0.0, 49.0);
    EXPECT_EQ(sphericalAberration(lens.surfaces, lens.settings, 1, 45, 2), kUnmeasurable);
    EXPECT_GT(chromaticAberration(lens.surfaces, lens.settings, 1, 45, lineBit(1) | lineBit(4)),
              0.0);
}

TEST(SphericalAberration, EqualLimitsGiveNineEqualZonesAndNoSpread) {
    const LensSystem lens = samples::sphericalMirror();
    EXPECT_EQ(sphericalAberration(lens.surfaces, lens.settings, 10, 10, 2), 0.0);
    EXPECT_EQ(sineConditionOffence(lens.surfaces, lens.settings, 10, 10, 2), 0.0);
}

TEST(ChromaticAberration, IsTheLargestPerZoneSpreadOfTheSelectedLines) {
    const LensSystem lens = samples::achromaticDoublet();
    const int mask =
        lineBit(WavelengthLine::C) | lineBit(WavelengthLine::F) | lineBit(WavelengthLine::h);
    const double hMin = 0.5, hMax = 49.0;
    const double step = zoneStep(hMin, hMax);
    double expected = 0.0;
    for (int k = 0; k < kZoneCount; ++k) {
        const double h = zoneHeight(hMin, step, k);
        double lowest = 1e300, highest = -1e300;
        for (int line : {1, 4, 6}) {
            const ZonalFocus zone =
                zonalFocus(lens.surfaces, lens.settings, line, h, ZonalMode::OpticalOnly);
            ASSERT_NE(zone.f, 0.0);
            lowest = std::min(lowest, zone.point.z);
            highest = std::max(highest, zone.point.z);
        }
        expected = std::max(expected, highest - lowest);
    }
    EXPECT_GT(expected, 0.0);
    EXPECT_EQ(chromaticAberration(lens.surfaces, lens.settings, hMin, hMax, mask), expected);
}

TEST(ChromaticAberration, OneLineOrNoLineGivesZero) {
    const LensSystem lens = samples::achromaticDoublet();
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        EXPECT_EQ(chromaticAberration(lens.surfaces, lens.settings, 1, 45, lineBit(line)), 0.0);
    }
    EXPECT_EQ(chromaticAberration(lens.surfaces, lens.settings, 1, 45, 0), 0.0);
    EXPECT_EQ(chromaticAberration(lens.surfaces, lens.settings, 1, 45, -18), 0.0);
    EXPECT_EQ(chromaticAberration(lens.surfaces, lens.settings, 0, 45, 18), 0.0);
    EXPECT_EQ(chromaticAberration(lens.surfaces, lens.settings, 46, 45, 18), 0.0);
}

TEST(SineConditionOffence, StartsBothExtremesAtTheReferenceZonesZero) {
    // A spherical mirror's sine-condition focal length R / (2 cos t) grows with every zone,
    // so all deviations are positive and the measure is the largest of them.
    const LensSystem lens = samples::sphericalMirror();
    const double hMin = 5.0, hMax = 45.0;
    const double step = zoneStep(hMin, hMax);
    const double fRef = zonalFocus(lens.surfaces, lens.settings, 2, hMin, ZonalMode::OpticalOnly).f;
    double largest = 0.0;
    double smallest = 1e300;
    for (int k = 1; k < kZoneCount; ++k) {
        const double d = sineFocusDeviation(lens.surfaces, fRef, 2, zoneHeight(hMin, step, k));
        largest = std::max(largest, d);
        smallest = std::min(smallest, d);
    }
    ASSERT_GT(smallest, 0.0);
    const double osc = sineConditionOffence(lens.surfaces, lens.settings, hMin, hMax, 2);
    EXPECT_EQ(osc, largest);
    EXPECT_NEAR(osc,
                mirrorZoneFocalLength(200.0, zoneHeight(hMin, step, kZoneCount - 1)) -
                    mirrorZoneFocalLength(200.0, hMin),
                1e-9);
}

TEST(SineConditionOffence, IsZeroForInvalidInput) {
    const LensSystem empty = samples::emptyDesign();
    EXPECT_EQ(sineConditionOffence(empty.surfaces, empty.settings, 1, 10, 2), 0.0);
    const LensSystem lens = samples::sphericalMirror();
    EXPECT_EQ(sineConditionOffence(lens.surfaces, lens.settings, 0, 10, 2), 0.0);
}

TEST(MeanFocus, IsTheMeanOfTheZoneFoci) {
    const LensSystem lens = samples::sphericalMirror();
    const double hMin = 1.0, hMax = 45.0;
    const double step = zoneStep(hMin, hMax);
    double sum = 0.0;
    for (int k = 0; k < kZoneCount; ++k) {
        sum += mirrorZoneFocus(200.0, zoneHeight(hMin, step, k));
    }
    EXPECT_NEAR(meanFocus(lens.surfaces, lens.settings, hMin, hMax, 2), sum / kZoneCount, 1e-9);
}

TEST(MeanFocus, FallsBackToTheInnermostZoneTracedPastTheStops) {
    LensSystem lens = samples::sphericalMirror();
    lens.surfaces[2] = lens.surfaces[1];
    lens.surfaces[1] = lens.surfaces[0];
    lens.surfaces[0] = row(SurfaceType::Obstruction, 10.0, 0.0, 49.0);
    const double inner =
        zonalFocus(lens.surfaces, lens.settings, 2, 2.0, ZonalMode::OpticalOnly).point.z;
    EXPECT_EQ(meanFocus(lens.surfaces, lens.settings, 2.0, 40.0, 2), inner);
    // An inverted range goes straight to the innermost zone.
    EXPECT_EQ(meanFocus(lens.surfaces, lens.settings, 2.0, 1.0, 2), inner);
    EXPECT_NEAR(inner, mirrorZoneFocus(200.0, 2.0), 1e-9);
}

TEST(MeanFocus, IsZeroForInvalidInput) {
    const LensSystem empty = samples::emptyDesign();
    EXPECT_EQ(meanFocus(empty.surfaces, empty.settings, 1, 10, 2), 0.0);
    const LensSystem lens = samples::sphericalMirror();
    EXPECT_EQ(meanFocus(lens.surfaces, lens.settings, 0, 10, 2), 0.0);
}

TEST(Refocus, MovesOnlyTheFirstFocalRowToTheMeanFocus) {
    LensSystem lens = samples::sphericalMirror();
    lens.surfaces[2] = row(SurfaceType::SphericalFocal, 120.0, -50.0, 20.0);
    const double r = apertureRadius(lens.surfaces) / 1.01;
    const double focus = meanFocus(lens.surfaces, lens.settings, r / 100, r, 2);
    refocus(lens.surfaces, lens.settings, 2);
    EXPECT_EQ(lens.surfaces[1].z, focus);
    EXPECT_EQ(lens.surfaces[2].z, 120.0);
    EXPECT_LT(focus, 100.0);
}

TEST(Refocus, ReachesAFocalRowStoredAfterTheEndOfTheTable) {
    LensSystem lens = samples::sphericalMirror();
    lens.surfaces[1].type = SurfaceType::End;
    lens.surfaces[5] = row(SurfaceType::FlatFocal, 300.0, 0.0, 20.0);
    refocus(lens.surfaces, lens.settings, 2);
    EXPECT_NEAR(lens.surfaces[5].z, 100.0, 2.0);
}

TEST(Refocus, ChangesNothingWithoutAFocalRowOrAMeasurableFocus) {
    LensSystem lens = samples::sphericalMirror();
    lens.surfaces[1].type = SurfaceType::Stop;
    const SurfaceTable before = lens.surfaces;
    refocus(lens.surfaces, lens.settings, 2);
    EXPECT_TRUE(samples::identicalTables(lens.surfaces, before));

    // An empty table (a focal row stored beyond its end) and a zero aperture have no
    // focus to move to: the focal plane stays instead of jumping to z = 0.
    LensSystem empty = samples::emptyDesign();
    empty.surfaces[3] = row(SurfaceType::FlatFocal, 50.0, 0.0, 10.0);
    refocus(empty.surfaces, empty.settings, 2);
    EXPECT_EQ(empty.surfaces[3].z, 50.0);

    LensSystem closed = samples::sphericalMirror();
    closed.surfaces[0].effectiveRadius = 0.0;
    refocus(closed.surfaces, closed.settings, 2);
    EXPECT_EQ(closed.surfaces[1].z, 100.0);
}

} // namespace
} // namespace kiro
