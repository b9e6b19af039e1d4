#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "trace/surface_geometry.h"
#include "trace_tables.h"

namespace kiro {
namespace {

using test::makeRow;

Ray rayFrom(Vec3 p, Vec3 d) {
    return {2, p, d};
}

TEST(SphereMeeting, TakesThePointNearTheVertex) {
    const Surface row = makeRow(SurfaceType::SphericalMirror, 0.0, 100.0, 50.0);
    const SurfaceMeet meet = meetSurface(rayFrom({10, 0, 50}, {0, 0, -1}), row, 20.0);
    ASSERT_TRUE(meet.met);
    EXPECT_NEAR(meet.point.z, 100.0 - std::sqrt(100.0 * 100.0 - 10.0 * 10.0), 1e-12);
    EXPECT_NEAR(meet.point.z, 0.50126, 1e-5);
    EXPECT_EQ(meet.point.x, 10.0);
}

TEST(SphereMeeting, SidewaysRayTakesTheSecondOfTwoEqualZPoints) {
    const QuadricMeet both = meetSphere(rayFrom({0, 0, 100}, {1, 0, 0}), {0, 0, 100}, 100.0);
    ASSERT_EQ(both.count, 2);
    EXPECT_EQ(both.first.z, both.second.z);
    EXPECT_DOUBLE_EQ(both.first.x, 100.0);
    EXPECT_DOUBLE_EQ(both.second.x, -100.0);
    const Surface row = makeRow(SurfaceType::SphericalLens, 0.0, 100.0, 200.0);
    const SurfaceMeet meet = meetSurface(rayFrom({0, 0, 100}, {1, 0, 0}), row, 20.0);
    ASSERT_TRUE(meet.met);
    EXPECT_DOUBLE_EQ(meet.point.x, -100.0);
    EXPECT_EQ(meet.point.z, 100.0);
}

TEST(SphereMeeting, RayAlongYMissesSpheresAndParaboloids) {
    const Ray ray = rayFrom({0, -500, 10}, {0, 1, 0});
    EXPECT_EQ(meetSphere(ray, {0, 0, 100}, 100.0).count, 0);
    EXPECT_EQ(meetParaboloid(ray, {0, 0, 0}, 100.0).count, 0);
    const SurfaceMeet meet =
        meetSurface(ray, makeRow(SurfaceType::SphericalMirror, 0, 100, 50), 20.0);
    EXPECT_FALSE(meet.met);
    EXPECT_EQ(meet.point.y, -500.0);
}

TEST(SphereMeeting, PointsLieOnTheSphereOverManyMagnitudes) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int k = 0; k < 2000; ++k) {
        const double radius = std::pow(10.0, -2.0 + 6.0 * (unit(rng) + 1.0) / 2.0);
        const Vec3 centre{0.1 * radius * unit(rng), 0.1 * radius * unit(rng), radius};
        const Vec3 start{0.5 * radius * unit(rng), 0.5 * radius * unit(rng), 3 * radius};
        const Vec3 target = add(centre, scale(normalize({unit(rng), unit(rng), unit(rng)}),
                                              0.9 * radius * std::fabs(unit(rng))));
        const Vec3 dir = normalize(sub(target, start));
        const QuadricMeet meet = meetSphere(rayFrom(start, dir), centre, radius);
        ASSERT_EQ(meet.count, 2) << "case " << k;
        for (const Vec3& p : {meet.first, meet.second}) {
            EXPECT_NEAR(length(sub(p, centre)), radius, 1e-9 * radius) << "case " << k;
        }
    }
}

TEST(ParaboloidMeeting, AxisParallelRayHasItsOwnSag) {
    const QuadricMeet meet = meetParaboloid(rayFrom({10, 0, 40}, {0, 0, -1}), {0, 0, 0}, 100.0);
    ASSERT_EQ(meet.count, 1);
    EXPECT_DOUBLE_EQ(meet.first.z, 0.5);
    const SurfaceMeet chosen = meetSurface(rayFrom({10, 0, 40}, {0, 0, -1}),
                                           makeRow(SurfaceType::ParaboloidMirror, 0, 100, 50), 20);
    ASSERT_TRUE(chosen.met);
    EXPECT_DOUBLE_EQ(chosen.point.z, 0.5);
}

TEST(ParaboloidMeeting, SidewaysRayUsesTheQuadraticInX) {
    // z stays 5: x^2 = 2 * 100 * 5, the second (smaller x) point is taken.
    const Ray ray = rayFrom({-50, 0, 5}, {1, 0, 0});
    const QuadricMeet both = meetParaboloid(ray, {0, 0, 0}, 100.0);
    ASSERT_EQ(both.count, 2);
    EXPECT_DOUBLE_EQ(both.first.x, std::sqrt(1000.0));
    EXPECT_DOUBLE_EQ(both.second.x, -std::sqrt(1000.0));
    const SurfaceMeet meet =
        meetSurface(ray, makeRow(SurfaceType::ParaboloidMirror, 0, 100, 50), 20);
    ASSERT_TRUE(meet.met);
    EXPECT_DOUBLE_EQ(meet.point.x, -std::sqrt(1000.0));
    EXPECT_EQ(meet.point.z, 5.0);
    // A tilted sideways ray: the point lies on the paraboloid and on the ray.
    const Ray tilted = rayFrom({-50, -20, 5}, normalize({1, 0.3, 0}));
    const QuadricMeet off = meetParaboloid(tilted, {1, 2, -3}, 100.0);
    ASSERT_EQ(off.count, 2);
    for (const Vec3& p : {off.first, off.second}) {
        const double dx = p.x - 1, dy = p.y - 2;
        EXPECT_NEAR(p.z, -3 + (dx * dx + dy * dy) / 200.0, 1e-12);
        EXPECT_NEAR((p.y + 20) / (p.x + 50), 0.3, 1e-12);
    }
}

TEST(ParaboloidMeeting, RayAlongTheAxisOfAFlatParaboloidMisses) {
    // R = 0 makes both the quadratic and the linear term vanish for an axial ray.
    EXPECT_EQ(meetParaboloid(rayFrom({0, 0, 10}, {0, 0, -1}), {0, 0, 0}, 0.0).count, 0);
}

TEST(PlaneMeeting, ParallelRayMissesAndPlanesBehindAreMet) {
    EXPECT_FALSE(meetPlane(rayFrom({0, 0, 10}, {1, 0, 0}), {0, 0, 0}, {0, 0, 1}).met);
    const SurfaceMeet behind = meetPlane(rayFrom({3, 4, -10}, {0, 0, -1}), {0, 0, 0}, {0, 0, 1});
    ASSERT_TRUE(behind.met);
    EXPECT_EQ(behind.point.z, 0.0);
    EXPECT_EQ(behind.point.x, 3.0);
}

TEST(AsphereMeeting, AxisParallelRayNeedsNoSearch) {
    const SurfaceMeet meet =
        meetAsphere(rayFrom({3, 4, 100}, {0, 0, 1}), -2.0, 0.01, 1e-5, 0, 0, 20.0);
    ASSERT_TRUE(meet.met);
    EXPECT_EQ(meet.point.x, 3.0);
    EXPECT_EQ(meet.point.y, 4.0);
    EXPECT_DOUBLE_EQ(meet.point.z, -2.0 + 0.01 * 25 + 1e-5 * 625);
}

TEST(AsphereMeeting, QuadraticAsphereMeetsOnTheParaboloid) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int k = 0; k < 1000; ++k) {
        const double radius = 400.0 + 3000.0 * (unit(rng) + 1.0);
        const Ray ray = rayFrom({60 * unit(rng), 60 * unit(rng), 50.0},
                                normalize({0.05 * unit(rng), 0.05 * unit(rng), -1.0}));
        const SurfaceMeet asph = meetAsphere(ray, 0.0, 0.5 / radius, 0, 0, 0, 120.0);
        const SurfaceMeet para =
            meetSurface(ray, makeRow(SurfaceType::ParaboloidMirror, 0.0, radius, 100.0), 120.0);
        ASSERT_TRUE(asph.met && para.met) << "case " << k;
        const Vec3 p = asph.point;
        EXPECT_NEAR(p.z, (p.x * p.x + p.y * p.y) / (2 * radius), 1e-13) << "case " << k;
        const Vec3 along = sub(p, ray.position);
        EXPECT_NEAR(length(cross(along, ray.direction)), 0.0, 1e-12) << "case " << k;
        // The paraboloid's quadratic loses digits for nearly axial rays (small A).
        EXPECT_NEAR(p.z, para.point.z, 1e-6) << "case " << k;
    }
}

TEST(AsphereMeeting, AFarSurfaceOutsideTheSearchIsMissed) {
    // The surface lies 500 mm down the ray but the search covers only 100 mm.
    EXPECT_FALSE(
        meetAsphere(rayFrom({1, 0, 0}, normalize({0.01, 0, -1})), -500, 1e-4, 0, 0, 0, 100.0).met);
}

TEST(AsphereMeeting, EndsForNonFiniteInput) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Ray ray = rayFrom({1, 0, 10}, normalize({0.1, 0, -1}));
    EXPECT_FALSE(meetAsphere(ray, 0, nan, 0, 0, 0, 100).met);
    EXPECT_FALSE(meetAsphere(ray, 0, 1e-3, 0, 0, 0, nan).met);
    meetAsphere(ray, 0, 1e-3, 0, 0, 0, inf);
    meetAsphere(ray, 0, 1e-3, inf, -inf, 0, 100);
    meetAsphere(rayFrom({nan, 0, 10}, {0.1, 0, -1}), 0, 1e-3, 0, 0, 0, 100);
    meetAsphere(rayFrom({1, 0, 10}, {nan, nan, nan}), 0, 1e-3, 0, 0, 0, 100);
    meetAsphere(ray, 0, 1e300, 1e300, 1e300, 1e300, 1e308);
    meetAsphere(ray, 0, 1e-3, 0, 0, 0, std::numeric_limits<double>::denorm_min());
}

TEST(SurfaceNormals, DegenerateCasesPointAlongTheAxis) {
    Surface asph = makeRow(SurfaceType::AsphericMirror, 0, 0.0, 50);
    asph.a2 = 1e-6;
    const Vec3 onAxis = surfaceNormal(asph, {0, 0, 0});
    EXPECT_EQ(onAxis.x, 0.0);
    EXPECT_EQ(onAxis.z, 1.0);
    asph.a2 = 0.0;
    EXPECT_EQ(surfaceNormal(asph, {10, 3, 1}).z, 1.0);
    const Vec3 flatPara =
        surfaceNormal(makeRow(SurfaceType::ParaboloidMirror, 0, 0, 50), {5, 0, 0});
    EXPECT_EQ(flatPara.x, 0.0);
    EXPECT_EQ(flatPara.z, 1.0);
}

TEST(SurfaceNormals, PointTowardsTheCentreOrFocalSide) {
    const Vec3 sphere = surfaceNormal(makeRow(SurfaceType::SphericalLens, 0, 100, 50),
                                      {10, 0, 100 - std::sqrt(9900.0)});
    EXPECT_DOUBLE_EQ(sphere.x, -10.0);
    EXPECT_NEAR(sphere.z, std::sqrt(9900.0), 1e-12);
    // On the paraboloid the normal is (x0 - x, y0 - y, R); on the matching asphere too.
    const Vec3 para =
        surfaceNormal(makeRow(SurfaceType::ParaboloidMirror, 0, 100, 50), {10, 0, 0.5});
    EXPECT_DOUBLE_EQ(para.z, 100.0);
    const Vec3 asph =
        surfaceNormal(makeRow(SurfaceType::AsphericMirror, 0, 0.005, 50), {10, 0, 0.5});
    EXPECT_DOUBLE_EQ(asph.z, 100.0);
    Surface tilted = makeRow(SurfaceType::FlatMirror, 0, 0, 50);
    tilted.nx = 0.6;
    tilted.nz = 0.8;
    EXPECT_EQ(surfaceNormal(tilted, {}).x, 0.6);
    tilted.type = SurfaceType::FlatLens;
    EXPECT_EQ(surfaceNormal(tilted, {}).x, 0.0);
}

TEST(SearchLength, SpansTheTableAndTheOriginWithMargins) {
    SurfaceTable table{};
    EXPECT_EQ(asphereSearchLength(table), 20.0);
    table[0] = makeRow(SurfaceType::SphericalMirror, 0, 100, 50);
    table[1] = makeRow(SurfaceType::AsphericMirror, 300, 0, 50);
    table[2] = makeRow(SurfaceType::FlatFocal, -100, 0, 0);
    table[4] = makeRow(SurfaceType::FlatFocal, -5000, 0, 0); // after the end: not counted
    EXPECT_EQ(asphereSearchLength(table), 420.0);
    EXPECT_EQ(asphereSearchLength(table[1]), 320.0);
    EXPECT_EQ(asphereSearchLength(table[2]), 120.0);
}

} // namespace
} // namespace kiro
