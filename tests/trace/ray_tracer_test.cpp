#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "trace/ray_tracer.h"
#include "trace_tables.h"

namespace kiro {
namespace {

using test::makeRow;

constexpr double kDeg = std::numbers::pi / 180.0;

double sineBetween(Vec3 a, Vec3 b) {
    return length(cross(a, b));
}

Vec3 randomUnit(std::mt19937_64& rng) {
    std::normal_distribution<double> g;
    return normalize({g(rng), g(rng), g(rng)});
}

TEST(Refraction, FollowsSnellsLawAtEveryAngleAndIndex) {
    std::mt19937_64 rng(1);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int refracted = 0;
    for (int k = 0; k < 20000; ++k) {
        const Vec3 n = randomUnit(rng);
        Vec3 d = randomUnit(rng);
        if (k % 4 == 1) { // near normal incidence
            d = normalize(add(n, scale(randomUnit(rng), std::pow(10.0, -9.0 * unit(rng)))));
        } else if (k % 4 == 2) { // grazing
            const Vec3 t = normalize(sub(d, scale(n, dot(d, n))));
            d = normalize(add(t, scale(n, std::pow(10.0, -9.0 * unit(rng)))));
        }
        const double mu = std::pow(10.0, -0.5 + unit(rng));
        const Vec3 out = refract(d, n, mu);
        EXPECT_NEAR(length(out), 1.0, 1e-12) << "case " << k;
        if (mu * mu >= 1 - dot(d, n) * dot(d, n) + 1e-9) {
            ++refracted;
            // |d x n| is the sine of incidence to rounding at every angle, also near
            // normal incidence, where a sine taken from d.n loses half its digits.
            const double sinIn = sineBetween(d, n);
            EXPECT_NEAR(sinIn, mu * sineBetween(out, n), 1e-15 + 1e-13 * sinIn) << "case " << k;
            // Same side of the surface as it travelled, in the plane of d and n.
            EXPECT_GT(dot(out, n) * dot(d, n), -1e-300) << "case " << k;
            EXPECT_NEAR(dot(cross(d, n), out), 0.0, 1e-12) << "case " << k;
        }
    }
    EXPECT_GT(refracted, 10000);
}

TEST(Refraction, ThirtyDegreesIntoGlass) {
    const Vec3 n{0, 0, 1};
    const Vec3 d{std::sin(30 * kDeg), 0, -std::cos(30 * kDeg)};
    const Vec3 out = refract(d, n, 1.5);
    EXPECT_NEAR(std::asin(out.x) / kDeg, 19.471220634490691, 1e-10);
    EXPECT_LT(out.z, 0.0);
    const Vec3 flipped = refract(d, negate(n), 1.5);
    EXPECT_NEAR(flipped.x, out.x, 1e-15);
    EXPECT_NEAR(flipped.z, out.z, 1e-15);
}

TEST(Refraction, FortyFiveDegreesOutOfGlassIsReflected) {
    const Vec3 d{std::sin(45 * kDeg), 0, -std::cos(45 * kDeg)};
    const Vec3 out = refract(d, {0, 0, 1}, 1 / 1.5);
    EXPECT_DOUBLE_EQ(out.x, d.x);
    EXPECT_DOUBLE_EQ(out.z, -d.z);
}

TEST(Refraction, NormalIncidenceGoesStraightOn) {
    const Vec3 out = refract({0, 0, -1}, {0, 0, 1}, 1.7);
    EXPECT_EQ(out.x, 0.0);
    EXPECT_EQ(out.z, -1.0);
}

TEST(Reflection, KeepsUnitLengthAndMirrorsTheNormalPart) {
    std::mt19937_64 rng(2);
    for (int k = 0; k < 5000; ++k) {
        const Vec3 n = randomUnit(rng);
        const Vec3 d = randomUnit(rng);
        const Vec3 out = reflect(d, n);
        EXPECT_NEAR(length(out), 1.0, 1e-12);
        EXPECT_NEAR(dot(out, n), -dot(d, n), 1e-12);
    }
}

TEST(Apertures, StopPassesAtItsExactRadiusOnly) {
    const Surface stop = makeRow(SurfaceType::Stop, 0, 0, 25);
    const Ray at{2, {25, 0, 10}, {0, 0, -1}};
    const Ray out = traceSurface(at, stop, 1.0, 20);
    EXPECT_FALSE(isDead(out));
    EXPECT_EQ(out.position.z, 0.0);
    const Ray beyond = traceSurface({2, {25.0001, 0, 10}, {0, 0, -1}}, stop, 1.0, 20);
    EXPECT_TRUE(isDead(beyond));
    EXPECT_EQ(beyond.position.z, 0.0);
    EXPECT_EQ(beyond.position.x, 25.0001);
}

TEST(Apertures, ObstructionStopsOnlyInsideItsRadius) {
    const Surface obstruction = makeRow(SurfaceType::Obstruction, 0, 0, 5);
    EXPECT_FALSE(isDead(traceSurface({2, {0, 5, 10}, {0, 0, -1}}, obstruction, 1.0, 20)));
    EXPECT_TRUE(isDead(traceSurface({2, {0, 4.999, 10}, {0, 0, -1}}, obstruction, 1.0, 20)));
}

TEST(Apertures, MirrorAndLensStopBeyondTheirClearRadius) {
    const Ray ray{2, {30, 0, 10}, {0, 0, -1}};
    EXPECT_TRUE(
        isDead(traceSurface(ray, makeRow(SurfaceType::SphericalMirror, 0, 200, 29), 1, 20)));
    EXPECT_TRUE(
        isDead(traceSurface(ray, makeRow(SurfaceType::SphericalLens, 0, 200, 29, 1.5), 1.5, 20)));
    EXPECT_FALSE(
        isDead(traceSurface(ray, makeRow(SurfaceType::SphericalMirror, 0, 200, 30), 1, 20)));
}

TEST(DeadRays, StayWhereTheyAreAtEveryRow) {
    const Ray dead{4, {1, 2, 3}, {0, 0, 0}};
    for (int type : {0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22}) {
        const Ray out = traceSurface(dead, makeRow(type, -10, 50, 100, 1.5), 1.5, 20);
        EXPECT_EQ(out.position.z, 3.0) << type;
        EXPECT_TRUE(isDead(out)) << type;
        EXPECT_EQ(out.line, 4);
    }
}

// Such a ray would otherwise carry NaN into every later row, the crossing point and the
// merit measures; it ends at the last point that was a number.
TEST(DeadRays, ARayThatIsNoLongerANumberEndsDeadAtItsLastNumber) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Ray along{2, {10, 0, 5}, {0, 0, -1}};
    // A stop whose normal is (1, 0, 1e-320) is met at infinity.
    Surface stop = makeRow(SurfaceType::Stop, 0, 0, 50);
    stop.nx = 1.0;
    stop.nz = 1e-320;
    Ray out = traceSurface(along, stop, 1.0, 20);
    EXPECT_TRUE(isDead(out));
    EXPECT_EQ(out.position.x, 10.0);
    EXPECT_EQ(out.position.z, 5.0);
    // An index of 0 on both sides makes mu 0 / 0: dead at the met point.
    out = traceSurface(along, makeRow(SurfaceType::SphericalLens, 0, 100, 50), nan, 20);
    EXPECT_TRUE(isDead(out));
    EXPECT_TRUE(isFinite(out.position));
    EXPECT_NE(out.position.z, 5.0);
    // A start that is no number, at every kind of row.
    for (int type : {0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22}) {
        const Surface row = makeRow(type, -10, 50, 100, 1.5);
        for (const Ray& bad : {Ray{2, {nan, 0, 5}, {0, 0, -1}}, Ray{2, {0, 0, 5}, {nan, 0, -1}}}) {
            EXPECT_TRUE(isDead(traceSurface(bad, row, 1.5, 20))) << type;
        }
    }
    // Whole tables: every ray ends dead or as numbers.
    for (double bad : {0.0, nan}) {
        SurfaceTable table = test::doublet();
        table[0].index.fill(bad);
        table[1].index.fill(bad);
        for (double x : {0.0, 10.0, 40.0}) {
            const Ray end = traceSystem(table, Ray{2, {x, 0, 0}, {0, 0, -1}}, RowFilter::All);
            EXPECT_TRUE(isDead(end) || (isFinite(end.position) && isFinite(end.direction)));
        }
    }
}

TEST(FocalSurfaces, ChangeOnlyThePosition) {
    const Vec3 dir = normalize({0.1, 0.2, -1});
    for (int type : {SurfaceType::FlatFocal, SurfaceType::SphericalFocal}) {
        const Ray out = traceSurface({2, {1, 1, 10}, dir}, makeRow(type, -5, 100, 0), 1.0, 20);
        EXPECT_EQ(out.direction.x, dir.x);
        EXPECT_EQ(out.direction.z, dir.z);
        EXPECT_NE(out.position.z, 10.0);
    }
}

TEST(UnknownTypes, PassTheRayUnchanged) {
    const Ray ray{3, {1, 2, 3}, normalize({0.1, 0, -1})};
    for (int type : {4, 9, 14, 19, 23, 99, -7}) {
        const Ray out = traceSurface(ray, makeRow(type, -10, 50, 0, 1.5), 1.5, 20);
        EXPECT_EQ(out.position.x, 1.0) << type;
        EXPECT_EQ(out.position.z, 3.0) << type;
        EXPECT_EQ(out.direction.x, ray.direction.x) << type;
    }
}

TEST(RowFilters, SelectTheRowsByCode) {
    const std::vector<int> codes{0, 1, 2, 3, 4, 9, 10, 13, 14, 20, 22, 23, 99};
    for (int code : codes) {
        const Surface row = makeRow(code, 0, 0, 0);
        EXPECT_TRUE(rowPassesFilter(row, RowFilter::All)) << code;
        EXPECT_EQ(rowPassesFilter(row, RowFilter::NoFocal), code != 2 && code != 3) << code;
        EXPECT_EQ(rowPassesFilter(row, RowFilter::OpticalOnly), code >= 10) << code;
    }
}

TEST(RelativeIndex, DividesByTheRowAboveWhateverItIs) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalLens, 0, -100, 20, 1.5);
    table[1] = makeRow(SurfaceType::Stop, -1, 0, 20, 1.5);
    table[2] = makeRow(SurfaceType::SphericalLens, -5, 100, 20, 1.0);
    table[0].index[3] = 1.6;
    EXPECT_EQ(relativeIndex(table, 0, 2), 1.5);
    EXPECT_EQ(relativeIndex(table, 0, 3), 1.6);
    EXPECT_EQ(relativeIndex(table, 1, 2), 1.0);
    EXPECT_EQ(relativeIndex(table, 2, 2), 1.0 / 1.5);
    EXPECT_EQ(relativeIndex(table, 2, 9), 1.0);
    EXPECT_EQ(relativeIndex(table, 2, -1), 1.0);
    EXPECT_EQ(relativeIndex(table, 16, 2), 1.0);
}

TEST(RowLoop, ZeroNegativeOrNanIndexSlotsGiveAFiniteRayOrADeadOne) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {0.0, -1.5, nan}) {
        SurfaceTable table = test::doublet();
        table[1].index[2] = bad;
        table[2] = makeRow(SurfaceType::AsphericLens, -13, 1e-3, 50, 1.6);
        for (double x : {0.0, 10.0, 40.0}) {
            const Ray out = traceSystem(table, Ray{2, {x, 0, 0}, {0, 0, -1}}, RowFilter::All);
            // Whatever the slot holds, the ray comes out finite: dead, or a unit direction.
            for (double v : {out.position.x, out.position.y, out.position.z, out.direction.x,
                             out.direction.y, out.direction.z}) {
                EXPECT_TRUE(std::isfinite(v)) << bad << " at x = " << x;
            }
            if (std::isnan(bad)) {
                EXPECT_TRUE(isDead(out)) << "x = " << x;
            } else if (!isDead(out)) {
                const Vec3 d = out.direction;
                EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1.0, 1e-12)
                    << bad << " at x = " << x;
            }
        }
    }
}

TEST(Refraction, OutOfAMediumOfIndexZeroGoesAlongTheNormal) {
    // The stop above holds index 0 at the line, so the relative index is infinite and
    // sin(theta_t) = sin(i) / mu is 0.
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::Stop, 0, 0, 50, 1.5);
    table[1] = makeRow(SurfaceType::SphericalLens, -10, 100, 50, 1.0);
    table[0].index[2] = 0.0;
    ASSERT_TRUE(std::isinf(relativeIndex(table, 1, 2)));
    const Ray out = traceSystem(table, Ray{2, {10, 0, 5}, {0.3, 0, -1}}, RowFilter::All);
    const Vec3 n = normalize(surfaceNormal(table[1], out.position));
    EXPECT_NEAR(out.direction.x, -n.x, 1e-15);
    EXPECT_NEAR(out.direction.y, -n.y, 1e-15);
    EXPECT_NEAR(out.direction.z, -n.z, 1e-15);
    const Vec3 d = normalize({0.2, 0.1, 1});
    for (double mu : {std::numeric_limits<double>::infinity(), 1e200}) {
        const Vec3 along = refract(d, {0, 0, 1}, mu);
        EXPECT_NEAR(along.x, 0.0, 1e-15) << mu;
        EXPECT_NEAR(along.y, 0.0, 1e-15) << mu;
        EXPECT_EQ(along.z, 1.0) << mu;
        EXPECT_EQ(refract(d, {0, 0, -1}, -mu).z, 1.0) << mu;
    }
}

TEST(RowLoop, VisitsEachTracedRowInOrder) {
    SurfaceTable table = test::sphericalMirror(200, 100, 60);
    table[1] = makeRow(SurfaceType::Obstruction, 90, 0, 1);
    table[2] = makeRow(SurfaceType::FlatFocal, 100, 0, 0);
    std::vector<int> rows;
    const Ray out = traceSystem(table, Ray{2, {20, 0, 0}, {0, 0, -5}}, RowFilter::NoFocal,
                                [&](int i, const Ray&) { rows.push_back(i); });
    EXPECT_EQ(rows, (std::vector<int>{0, 1}));
    EXPECT_NEAR(out.position.z, 90.0, 1e-12);
    EXPECT_GT(out.direction.z, 0.0);
}

TEST(Mirrors, SphericalMirrorSendsAParaxialRayNearHalfItsRadius) {
    const Ray out = traceSurface(Ray{2, {10, 0, 0}, {0, 0, -1}},
                                 makeRow(SurfaceType::SphericalMirror, 0, 200, 50), 1.0, 20);
    ASSERT_GT(out.direction.z, 0.0);
    const double zAxis = out.position.z - out.position.x * out.direction.z / out.direction.x;
    EXPECT_NEAR(zAxis, 100.0, 0.5);
}

TEST(Mirrors, ParaboloidSendsEveryAxisParallelRayThroughItsFocus) {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int k = 0; k < 5000; ++k) {
        const double radius = std::pow(10.0, -1.0 + 6.0 * unit(rng)) * (k % 2 ? 1 : -1);
        const double phi = 2 * std::numbers::pi * unit(rng);
        const double h = std::fabs(radius) * unit(rng);
        const Vec3 vertex{0, 0, radius * (unit(rng) - 0.5)};
        Surface row = makeRow(SurfaceType::ParaboloidMirror, vertex.z, radius, 2 * h + 1);
        const Ray in{
            2, {h * std::cos(phi), h * std::sin(phi), vertex.z + std::fabs(radius)}, {0, 0, -1}};
        const Ray out = traceSurface(in, row, 1.0, 20);
        ASSERT_FALSE(isDead(out)) << "case " << k;
        const Vec3 focus{0, 0, vertex.z + radius / 2};
        const double miss = length(cross(sub(focus, out.position), out.direction));
        EXPECT_LT(miss, 1e-12 * std::fabs(radius)) << "case " << k;
        EXPECT_NEAR(length(out.direction), 1.0, 1e-12);
    }
}

TEST(Refraction, FlatPlateLeavesRaysParallelToHowTheyCame) {
    std::mt19937_64 rng(4);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int k = 0; k < 3000; ++k) {
        const double scaleMm = std::pow(10.0, 3.0 * unit(rng));
        SurfaceTable table{};
        const double n = 1.3 + 0.6 * (unit(rng) + 1) / 2;
        table[0] = makeRow(SurfaceType::FlatLens, 0, 0, 1e9, n);
        table[1] = makeRow(SurfaceType::FlatLens, -scaleMm, 0, 1e9, 1.0);
        const Vec3 dir = normalize({unit(rng), unit(rng), -0.05 - std::fabs(unit(rng))});
        const Ray out =
            traceSystem(table, Ray{2, {scaleMm * unit(rng), 0, scaleMm}, dir}, RowFilter::All);
        ASSERT_FALSE(isDead(out)) << "case " << k;
        EXPECT_NEAR(out.direction.x, dir.x, 1e-12) << "case " << k;
        EXPECT_NEAR(out.direction.y, dir.y, 1e-12) << "case " << k;
        EXPECT_NEAR(out.direction.z, dir.z, 1e-12) << "case " << k;
    }
}

TEST(TraceSurface, WithoutATableSearchesTheRowsOwnExtent) {
    Surface row = makeRow(SurfaceType::AsphericMirror, -300, 1e-4, 50);
    const Ray ray{2, {5, 0, 0}, normalize({0.01, 0, -1})};
    const Ray own = traceSurface(ray, row, 1.0);
    const Ray given = traceSurface(ray, row, 1.0, asphereSearchLength(row));
    EXPECT_FALSE(isDead(own));
    EXPECT_EQ(own.position.z, given.position.z);
    EXPECT_TRUE(isDead(traceSurface(ray, row, 1.0, 20.0)));
}

} // namespace
} // namespace kiro
