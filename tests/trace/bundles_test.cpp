#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/design_file.h"
#include "tests/support/example_designs.h"
#include "trace/bundles.h"
#include "trace/ray_tracer.h"
#include "trace_tables.h"

namespace kiro {
namespace {

using test::kDLine;
using test::makeRow;

TEST(ZonalFocus, SphericalMirrorFocusesNearHalfItsRadius) {
    const SurfaceTable table = test::sphericalMirror(200, 100, 60);
    const Settings settings;
    const ZonalFocus paraxial = zonalFocus(table, settings, kDLine, 1.0, ZonalMode::OpticalOnly);
    EXPECT_NEAR(paraxial.f, 100.0, 2e-3);
    EXPECT_NEAR(paraxial.point.x, 0.0, 1e-12);
    EXPECT_NEAR(paraxial.point.z, 100.0, 1e-2);
    const ZonalFocus marginal = zonalFocus(table, settings, kDLine, 50.0, ZonalMode::OpticalOnly);
    EXPECT_LT(marginal.point.z, 100.0);
    EXPECT_NE(marginal.f, 0.0);
}

TEST(ZonalFocus, SphericalMirrorZonesFollowTheExactFormula) {
    // A zone at height h meets the mirror where sin(theta) = h / R; its reflected rays
    // cross the axis at z = R - R / (2 cos(theta)).
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const Settings settings;
    for (int k = 0; k < 3000; ++k) {
        const double radius = std::pow(10.0, -1.0 + 6.0 * unit(rng));
        const double h = radius * (0.001 + 0.6 * unit(rng));
        const SurfaceTable table = test::sphericalMirror(radius, radius / 2, radius);
        const ZonalFocus focus = zonalFocus(
            table, settings, kDLine, h, k % 2 == 0 ? ZonalMode::WithStops : ZonalMode::OpticalOnly);
        const double cosTheta = std::sqrt(1 - (h / radius) * (h / radius));
        EXPECT_NEAR(focus.point.z, radius - radius / (2 * cosTheta), 1e-11 * radius)
            << "case " << k;
        // The two final rays meet at the angle 2 theta: f = h / sin(2 theta).
        EXPECT_NEAR(focus.f, h / (2 * (h / radius) * cosTheta), 1e-9 * radius) << "case " << k;
    }
}

TEST(ZonalFocus, ModeZeroLetsTheObstructionAct) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Obstruction, 150, 0, 20);
    table[1] = makeRow(SurfaceType::SphericalMirror, 0, 200, 60);
    table[2] = makeRow(SurfaceType::FlatFocal, 100, 0, 0);
    const Settings settings;
    const ZonalFocus hidden = zonalFocus(table, settings, kDLine, 10, ZonalMode::WithStops);
    EXPECT_EQ(hidden.f, 0.0);
    EXPECT_EQ(hidden.point.x, 0.0);
    EXPECT_EQ(hidden.point.z, 0.0);
    EXPECT_NEAR(zonalFocus(table, settings, kDLine, 10, ZonalMode::OpticalOnly).f, 100, 1);
    EXPECT_NEAR(zonalFocus(table, settings, kDLine, 30, ZonalMode::WithStops).f, 100, 5);
}

TEST(ZonalFocus, ParallelFinalRaysGiveAnInfiniteFocalLength) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::FlatMirror, 0, 0, 50);
    const ZonalFocus focus = zonalFocus(table, Settings{}, kDLine, 10, ZonalMode::OpticalOnly);
    EXPECT_TRUE(std::isinf(focus.f));
    EXPECT_EQ(focus.point.x, 0.0);
}

TEST(ZonalFocus, EmptyTableFails) {
    const SurfaceTable table{};
    const Settings settings;
    EXPECT_EQ(zonalFocus(table, settings, kDLine, 10, ZonalMode::OpticalOnly).f, 0.0);
    EXPECT_EQ(sineFocusDeviation(table, 100, kDLine, 10), 0.0);
}

TEST(ZonalFocus, PointSourceMovesTheFocusAwayFromTheMirror) {
    const SurfaceTable table = test::sphericalMirror(200, 100, 60);
    Settings settings;
    const ZonalFocus infinity = zonalFocus(table, settings, kDLine, 10, ZonalMode::OpticalOnly);
    settings.sourceMode = SourceMode::Point;
    settings.sourceZ = 10000;
    const ZonalFocus near = zonalFocus(table, settings, kDLine, 10, ZonalMode::OpticalOnly);
    EXPECT_GT(near.point.z, infinity.point.z);
    // Conjugates of a mirror: 1/s + 1/s' = 2/R.
    EXPECT_NEAR(near.point.z, 1 / (2.0 / 200 - 1.0 / 10000), 0.5);
}

TEST(ZonalFocus, DoubletHasAPositiveFocalLength) {
    const ZonalFocus focus =
        zonalFocus(test::doublet(), Settings{}, kDLine, 25, ZonalMode::OpticalOnly);
    EXPECT_GT(focus.f, 500);
    EXPECT_LT(focus.f, 2000);
}

TEST(SineDeviation, IsZeroForOneLineThroughAMirrorAndFailsForDeadRays) {
    const SurfaceTable table = test::sphericalMirror(200, 100, 60);
    const double f = zonalFocus(table, Settings{}, kDLine, 30, ZonalMode::OpticalOnly).f;
    EXPECT_NEAR(sineFocusDeviation(table, f, 1, 30), 0.0, 1e-9);
    EXPECT_EQ(sineFocusDeviation(table, f, 1, 70), kSineDeviationFailed);
}

TEST(SineDeviation, MeasuresTheLineAgainstTheDLine) {
    SurfaceTable table = test::doublet();
    for (Surface& row : {std::ref(table[0]), std::ref(table[2])}) {
        row.index[1] -= 0.01; // C line slower than d
    }
    const double fd = zonalFocus(table, Settings{}, kDLine, 20, ZonalMode::OpticalOnly).f;
    EXPECT_NEAR(sineFocusDeviation(table, fd, kDLine, 20), 0.0, 1e-9);
    EXPECT_NE(sineFocusDeviation(table, fd, 1, 20), 0.0);
}

TEST(CrossPoint, FindsTheCrossingOfSkewProjections) {
    const Vec3 target{3, -2, 7};
    const Vec3 da = normalize({1, 2, 3});
    const Vec3 db = normalize({-2, 1, 0.5});
    const Ray a{2, sub(target, scale(da, 5)), da};
    const Ray b{2, sub(target, scale(db, 9)), db};
    const Vec3 p = crossPoint(a, b);
    EXPECT_NEAR(p.x, 3, 1e-12);
    EXPECT_NEAR(p.y, -2, 1e-12);
    EXPECT_NEAR(p.z, 7, 1e-12);
    // Rays in planes x = const: the y-z projections are used.
    const Vec3 dc = normalize({0, 1, 1});
    const Vec3 dd = normalize({0, -1, 2});
    const Vec3 q =
        crossPoint({2, sub(target, scale(dc, 4)), dc}, {2, sub(target, scale(dd, 2)), dd});
    EXPECT_NEAR(q.y, -2, 1e-12);
    EXPECT_NEAR(q.z, 7, 1e-12);
    EXPECT_EQ(crossPoint(a, Ray{2, {1, 1, 1}, {}}).x, 0.0);
}

TEST(LightAmount, UnvignettedSystemPassesEverything) {
    Settings settings;
    for (int n : {1, 7, 10, 50, 100}) {
        settings.spotGridPoints = n;
        for (double m : {1.0, 0.3, 50.0, 7.7}) {
            const SurfaceTable table = test::sphericalMirror(1000, 500, 2 * m);
            EXPECT_EQ(lightAmount(table, settings, 0.0, m, kDLine), 1.0) << n << " " << m;
        }
    }
}

TEST(LightAmount, HalfSizeStopPassesAboutAQuarter) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0, 0, 25);
    table[1] = makeRow(SurfaceType::SphericalMirror, -10, 1000, 60);
    Settings settings;
    EXPECT_NEAR(lightAmount(table, settings, 0.0, 50.0, kDLine), 0.25, 0.02);
    // A tilted beam is clipped by the mirror as well.
    table[0].effectiveRadius = 60;
    table[1].effectiveRadius = 50;
    EXPECT_LT(lightAmount(table, settings, 0.2, 50.0, kDLine), 1.0);
}

TEST(LightAmount, DegenerateInputsGiveNothingAndEnd) {
    const SurfaceTable table = test::sphericalMirror(1000, 500, 100);
    Settings settings;
    EXPECT_EQ(lightAmount(table, settings, 0.0, 0.0, kDLine), 0.0);
    EXPECT_EQ(lightAmount(table, settings, 0.0, -5.0, kDLine), 0.0);
    EXPECT_EQ(lightAmount(table, settings, 0.0, std::nan(""), kDLine), 0.0);
    EXPECT_EQ(lightAmount(table, settings, std::nan(""), 10.0, kDLine), 0.0);
    // A radius so small that its grid step underflows to 0 has no grid either.
    EXPECT_EQ(lightAmount(table, settings, 0.0, std::numeric_limits<double>::denorm_min(), kDLine),
              0.0);
    // Denormal and huge radii: the grid ends after its n + 1 values whatever the sums do.
    for (double m : {1e-320, 3e-322, 1e308}) {
        const double amount = lightAmount(table, settings, 0.0, m, kDLine);
        EXPECT_GE(amount, 0.0) << m;
        EXPECT_LE(amount, 1.0) << m;
    }
    settings.spotGridPoints = 0;
    EXPECT_EQ(lightAmount(table, settings, 0.0, 10.0, kDLine), 1.0);
    settings.spotGridPoints = -3;
    EXPECT_EQ(lightAmount(table, settings, 0.0, 10.0, kDLine), 1.0);
}

TEST(LightAmount, HalfPupilShortcutCountsExactlyLikeTracingEveryRay) {
    int designs = 0;
    for (const std::filesystem::path& path : test::exampleDesignPaths()) {
        LensSystem lens;
        ASSERT_EQ(readDesignFile(lens, path.c_str()), 1);
        ASSERT_TRUE(isMirrorSymmetricInY(lens.surfaces)) << path;
        Settings settings;
        settings.spotGridPoints = 17;
        const double m = apertureRadius(lens.surfaces);
        for (double angle : {0.0, 0.003, 0.01, 0.02, 0.05}) {
            for (int line = WavelengthLine::C; line <= WavelengthLine::h; line += 5) {
                EXPECT_EQ(
                    lightAmount(lens.surfaces, settings, angle, m, line, PupilSymmetry::Use),
                    lightAmount(lens.surfaces, settings, angle, m, line, PupilSymmetry::Ignore))
                    << path << " angle " << angle << " line " << line;
            }
        }
        ++designs;
    }
    EXPECT_GE(designs, 10);
}

// The ray at -h taken as the mirror image of the ray at +h must give the very focus and
// focal length that tracing it gives, to the last bit, wherever the shortcut is taken.
TEST(ZonalFoci, MirroredZonesEqualTracedZonesOnEveryExample) {
    int designs = 0;
    for (const std::filesystem::path& path : test::exampleDesignPaths()) {
        LensSystem lens;
        ASSERT_EQ(readDesignFile(lens, path.c_str()), 1);
        const double r = apertureRadius(lens.surfaces);
        std::vector<ZoneRequest> zones;
        for (int line = WavelengthLine::C; line <= WavelengthLine::h; ++line) {
            for (const double fraction : {1e-3, 0.01, 0.15, 0.5, 0.85, 0.999, 1.2}) {
                zones.push_back({line, r * fraction, 0});
            }
        }
        Settings onAxis;
        Settings source;
        source.sourceMode = SourceMode::Point;
        source.sourceZ = 20000.0;
        Settings offAxis = source;
        offAxis.sourceX = 3.0;
        for (const Settings& settings : {onAxis, source, offAxis}) {
            for (const ZonalMode mode : {ZonalMode::WithStops, ZonalMode::OpticalOnly}) {
                std::vector<ZonalFocus> mirrored(zones.size());
                std::vector<ZonalFocus> traced(zones.size());
                zonalFoci(lens.surfaces, settings, zones, mode, mirrored, ZoneMirror::Use);
                zonalFoci(lens.surfaces, settings, zones, mode, traced, ZoneMirror::Ignore);
                for (size_t k = 0; k < zones.size(); ++k) {
                    EXPECT_EQ(std::memcmp(&mirrored[k], &traced[k], sizeof(ZonalFocus)), 0)
                        << path << " zone " << k;
                }
            }
        }
        ++designs;
    }
    EXPECT_GE(designs, 10);
}

// Rays that cross the axis sideways (dz = 0) into a sphere are solved in x, where the
// mirror image may take the other root: such a zone is traced, not mirrored.
TEST(ZonalFoci, ARayCrossingTheAxisSidewaysIsNotMirrored) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0.0, 0.0, 100.0);
    table[1] = makeRow(SurfaceType::SphericalMirror, -20.0, 200.0, 100.0);
    table[2] = makeRow(SurfaceType::FlatMirror, -100.0, 0.0, 500.0);
    Settings settings;
    settings.sourceMode =
        SourceMode::Point; // at the origin: the rays run along x in the plane z = z0
    const std::vector<ZoneRequest> zones{{kDLine, 5.0, 0}, {kDLine, 20.0, 0}};
    std::vector<ZonalFocus> mirrored(zones.size()), traced(zones.size());
    for (const ZonalMode mode : {ZonalMode::WithStops, ZonalMode::OpticalOnly}) {
        zonalFoci(table, settings, zones, mode, mirrored, ZoneMirror::Use);
        zonalFoci(table, settings, zones, mode, traced, ZoneMirror::Ignore);
        for (size_t k = 0; k < zones.size(); ++k) {
            EXPECT_EQ(std::memcmp(&mirrored[k], &traced[k], sizeof(ZonalFocus)), 0) << k;
        }
    }
}

TEST(LightAmount, DesignOutOfTheMeridionalPlaneIsNotMirrored) {
    SurfaceTable table{};
    table[0].type = SurfaceType::SphericalMirror;
    EXPECT_TRUE(isMirrorSymmetricInY(table));
    table[0].y = 0.5;
    EXPECT_FALSE(isMirrorSymmetricInY(table));
    table[0].y = 0.0;
    table[0].ny = 1e-9;
    EXPECT_FALSE(isMirrorSymmetricInY(table));
}

} // namespace
} // namespace kiro
