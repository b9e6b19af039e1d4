#include "model/lens_system.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kiro {
namespace {

Surface row(int32_t type, double effectiveRadius) {
    Surface s;
    s.type = type;
    s.effectiveRadius = effectiveRadius;
    return s;
}

TEST(LensSystemClear, EmptiesTableAndDescriptionAndPutsSourceAtInfinity) {
    LensSystem lens;
    setDefaultSettings(lens);
    lens.surfaces[3].type = SurfaceType::SphericalLens;
    lens.surfaces[3].index[4] = 1.6;
    std::strcpy(lens.surfaces[3].material, "N-BK7");
    std::strcpy(lens.description, "doublet");
    lens.settings.sourceMode = SourceMode::Point;
    lens.settings.rayCount = 7;
    lens.settings.spotGridPoints = 20;
    lens.settings.sourceZ = 500.0;

    clearLensSystem(lens);

    for (const Surface& s : lens.surfaces) {
        EXPECT_EQ(s.type, -1);
        EXPECT_EQ(s.nz, 1.0);
        EXPECT_EQ(s.radius, 0.0);
        EXPECT_EQ(s.effectiveRadius, 0.0);
        for (double n : s.index) {
            EXPECT_EQ(n, 1.0);
        }
        EXPECT_STREQ(s.material, "");
    }
    EXPECT_STREQ(lens.description, "");
    EXPECT_EQ(lens.settings.sourceMode, SourceMode::Infinity);
    EXPECT_EQ(lens.settings.rayCount, 7);
    EXPECT_EQ(lens.settings.spotGridPoints, 20);
    EXPECT_EQ(lens.settings.sourceZ, 500.0);
}

TEST(LensSystemSettings, DefaultsAreTheStartValues) {
    LensSystem lens;
    lens.settings.rayCount = 3;
    lens.settings.sourceMode = SourceMode::Point;
    setDefaultSettings(lens);
    EXPECT_EQ(lens.settings.rayCount, 11);
    EXPECT_EQ(lens.settings.incidenceAngle, 0);
    EXPECT_EQ(lens.settings.spotGridMode, SpotGridMode::FixedCount);
    EXPECT_EQ(lens.settings.spotGridPoints, 50);
    EXPECT_EQ(lens.settings.spotGridPitch, 10);
    EXPECT_EQ(lens.settings.sourceMode, SourceMode::Infinity);
}

TEST(SurfaceCount, StopsAtFirstNegativeTypeOrAfterSixteenRows) {
    SurfaceTable table{};
    EXPECT_EQ(surfaceCount(table), 0);
    table[0].type = SurfaceType::SphericalMirror;
    table[1].type = SurfaceType::FlatFocal;
    table[3].type = SurfaceType::FlatFocal; // after the end: invisible
    EXPECT_EQ(surfaceCount(table), 2);
    for (Surface& s : table) {
        s.type = SurfaceType::Stop;
    }
    EXPECT_EQ(surfaceCount(table), 16);
}

TEST(ApertureRadius, EmptyTableGivesRowZeroRadius) {
    SurfaceTable table{};
    EXPECT_EQ(apertureRadius(table), 0.0);
    table[0].effectiveRadius = 12.0;
    EXPECT_EQ(apertureRadius(table), 12.0);
}

TEST(ApertureRadius, StopBeforeMirrorLimitsTheBeam) {
    SurfaceTable table{};
    table[0] = row(SurfaceType::Stop, 20.0);
    table[1] = row(SurfaceType::SphericalMirror, 50.0);
    EXPECT_EQ(apertureRadius(table), 20.0);
}

TEST(ApertureRadius, MirrorAloneGivesItsRadius) {
    SurfaceTable table{};
    table[0] = row(SurfaceType::SphericalMirror, 50.0);
    table[1] = row(SurfaceType::FlatFocal, 0.0);
    EXPECT_EQ(apertureRadius(table), 50.0);
}

TEST(ApertureRadius, ZeroStopCountsAsNoLimit) {
    SurfaceTable table{};
    table[0] = row(SurfaceType::Stop, 0.0);
    table[1] = row(SurfaceType::SphericalMirror, 50.0);
    EXPECT_EQ(apertureRadius(table), 50.0);
}

TEST(ApertureRadius, ObstructionAndFocalRowsAreIgnored) {
    SurfaceTable table{};
    table[0] = row(SurfaceType::Stop, 40.0);
    table[1] = row(SurfaceType::Obstruction, 10.0);
    table[2] = row(SurfaceType::FlatFocal, 5.0);
    table[3] = row(SurfaceType::SphericalLens, 45.0);
    EXPECT_EQ(apertureRadius(table), 40.0);
}

TEST(ApertureRadius, LaterStopsLowerTheRadiusOnlyBeforeTheFirstOpticalRow) {
    SurfaceTable table{};
    table[0] = row(SurfaceType::Stop, 40.0);
    table[1] = row(SurfaceType::Stop, 30.0);
    table[2] = row(SurfaceType::Stop, 35.0);
    table[3] = row(SurfaceType::SphericalLens, 45.0);
    table[4] = row(SurfaceType::Stop, 5.0);
    EXPECT_EQ(apertureRadius(table), 30.0);
}

TEST(ApertureRadius, UnknownCodesOfTenOrMoreCountAsOptical) {
    SurfaceTable table{};
    table[0] = row(SurfaceType::Stop, 40.0);
    table[1] = row(17, 25.0);
    table[2] = row(SurfaceType::SphericalLens, 10.0);
    EXPECT_EQ(apertureRadius(table), 25.0);
}

TEST(ApertureRadius, FullTableOfStopsUsesAllSixteenRows) {
    SurfaceTable table{};
    for (int i = 0; i < kSurfaceRows; ++i) {
        table[i] = row(SurfaceType::Stop, 100.0 - i);
    }
    EXPECT_EQ(apertureRadius(table), 85.0);
}

} // namespace
} // namespace kiro
