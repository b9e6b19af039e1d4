#include "presenters/aperture_change.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/support/surface_tables.h"

namespace kiro {
namespace {

using test::makeRow;

SurfaceTable tableOf(const std::vector<Surface>& rows) {
    SurfaceTable table{};
    for (size_t i = 0; i < rows.size(); ++i) {
        table[i] = rows[i];
    }
    return table;
}

struct ScanCase {
    const char* name;
    std::vector<Surface> rows;
    double semiAperture;
};

TEST(ApertureChangeScan, FindsTheSmallestStopBeforeTheFirstCurvedMirrorOrLens) {
    const std::vector<ScanCase> cases = {
        {"a spherical mirror first", {makeRow(SurfaceType::SphericalMirror, 0, 800, 100)}, 100},
        {"two stops before the first lens",
         {makeRow(SurfaceType::Stop, 0, 0, 40), makeRow(SurfaceType::Stop, -5, 0, 30),
          makeRow(SurfaceType::SphericalLens, -10, 500, 50),
          makeRow(SurfaceType::Stop, -20, 0, 10)},
         30},
        {"a lens smaller than the stop",
         {makeRow(SurfaceType::Stop, 0, 0, 40), makeRow(SurfaceType::SphericalLens, -5, 500, 20)},
         20},
        {"obstruction, focal planes and a flat mirror are passed over",
         {makeRow(SurfaceType::Obstruction, 0, 0, 5), makeRow(SurfaceType::FlatFocal, -1, 0, 2),
          makeRow(SurfaceType::SphericalFocal, -2, 50, 3),
          makeRow(SurfaceType::FlatMirror, -3, 0, 4),
          makeRow(SurfaceType::ParaboloidMirror, -900, 1600, 75)},
         75},
        {"only a stop", {makeRow(SurfaceType::Stop, 0, 0, 12)}, 12},
        {"nothing to scan", {}, -1},
        {"a stop of diameter 0",
         {makeRow(SurfaceType::Stop, 0, 0, 0), makeRow(SurfaceType::SphericalMirror, -5, 800, 100)},
         0},
    };
    for (const ScanCase& c : cases) {
        EXPECT_EQ(currentSemiAperture(tableOf(c.rows)), c.semiAperture) << c.name;
    }
}

SurfaceTable asphericDesign() {
    SurfaceTable table = tableOf({makeRow(SurfaceType::Stop, 0, 0, 50),
                                  makeRow(SurfaceType::AsphericLens, -10, 0.004, 50, 1.5),
                                  makeRow(SurfaceType::SphericalMirror, -400, 1600, 50),
                                  makeRow(SurfaceType::Obstruction, -100, 0, 20)});
    table[1].x = 1.0;
    table[1].y = -2.0;
    table[1].a2 = 8e-8;
    table[1].a3 = 32e-12;
    table[1].a4 = 128e-16;
    table[5] = makeRow(SurfaceType::FlatFocal, -300, 0, 10); // after the end, changed too
    return table;
}

TEST(ApertureChangeScaling, TheWholeDesignScalesWithTheAperture) {
    SurfaceTable table = asphericDesign();
    ASSERT_TRUE(changeAperture(table, ApertureChangeMode::ScaleDesign, 50, 100));

    EXPECT_EQ(table[0].effectiveRadius, 100);
    EXPECT_EQ(table[1].x, 2.0);
    EXPECT_EQ(table[1].y, -4.0);
    EXPECT_EQ(table[1].z, -20.0);
    EXPECT_EQ(table[1].radius, 0.002); // a1 halves
    EXPECT_DOUBLE_EQ(table[1].a2, 1e-8);
    EXPECT_DOUBLE_EQ(table[1].a3, 1e-12);
    EXPECT_DOUBLE_EQ(table[1].a4, 1e-16);
    EXPECT_EQ(table[1].index[2], 1.5);
    EXPECT_EQ(table[2].z, -800);
    EXPECT_EQ(table[2].radius, 3200);
    EXPECT_EQ(table[3].effectiveRadius, 40);
    EXPECT_EQ(table[4].type, SurfaceType::End);
    EXPECT_EQ(table[4].effectiveRadius, 0);
    EXPECT_EQ(table[5].z, -600);
    EXPECT_EQ(table[5].effectiveRadius, 20);
}

TEST(ApertureChangeScaling, ApertureOnlyChangesEveryClearApertureAndNothingElse) {
    const SurfaceTable before = asphericDesign();
    SurfaceTable table = before;
    ASSERT_TRUE(changeAperture(table, ApertureChangeMode::ApertureOnly, 50, 60));
    for (int i = 0; i < kSurfaceRows; ++i) {
        if (before[i].type < 0) {
            continue;
        }
        EXPECT_DOUBLE_EQ(table[i].effectiveRadius, before[i].effectiveRadius * 1.2) << i;
        EXPECT_EQ(table[i].z, before[i].z) << i;
        EXPECT_EQ(table[i].radius, before[i].radius) << i;
        EXPECT_EQ(table[i].a2, before[i].a2) << i;
    }
}

bool sameLengths(const SurfaceTable& a, const SurfaceTable& b) {
    for (int i = 0; i < kSurfaceRows; ++i) {
        const Surface& p = a[i];
        const Surface& q = b[i];
        if (p.x != q.x || p.y != q.y || p.z != q.z || p.radius != q.radius || p.a2 != q.a2 ||
            p.a3 != q.a3 || p.a4 != q.a4 || p.effectiveRadius != q.effectiveRadius) {
            return false;
        }
    }
    return true;
}

TEST(ApertureChangeScaling, UnusableAperturesLeaveTheDesignAsItWas) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const double nan = std::nan("");
    const SurfaceTable before = asphericDesign();
    const std::vector<std::pair<double, double>> refused = {
        {50, 0},   {0, 100},   {-50, 100}, {50, -1},        {nan, 100},
        {50, nan}, {inf, 100}, {50, inf},  {1e-300, 1e300}, // every length would overflow
    };
    for (const auto& [from, to] : refused) {
        SurfaceTable table = before;
        EXPECT_FALSE(changeAperture(table, ApertureChangeMode::ScaleDesign, from, to))
            << from << " -> " << to;
        EXPECT_TRUE(sameLengths(table, before)) << from << " -> " << to;
    }
}

} // namespace
} // namespace kiro
