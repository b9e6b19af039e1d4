#include <gtest/gtest.h>

#include "design/reflector_builders.h"
#include "design/two_mirror.h"
#include "design_test_support.h"
#include "presenters/design_dialog_logic.h"

namespace kiro {
namespace {

using test::sourceAtInfinity;

struct ExpectedRow {
    int type;
    double z, radius, effectiveRadius;
};

void expectRows(const SurfaceTable& table, std::initializer_list<ExpectedRow> rows) {
    int i = 0;
    for (const ExpectedRow& e : rows) {
        const Surface& row = table[static_cast<size_t>(i)];
        EXPECT_EQ(row.type, e.type) << "row " << i;
        EXPECT_DOUBLE_EQ(row.z, e.z) << "row " << i;
        EXPECT_DOUBLE_EQ(row.radius, e.radius) << "row " << i;
        EXPECT_DOUBLE_EQ(row.effectiveRadius, e.effectiveRadius) << "row " << i;
        ++i;
    }
    EXPECT_EQ(table[static_cast<size_t>(i)].type, SurfaceType::End);
}

TEST(NewtonianRows, BaffleTwoHundredMillimetresBeforeTheFocusAtF5) {
    SurfaceTable table{};
    ASSERT_TRUE(buildNewtonian(table, 200.0, 1000.0).ok);
    expectRows(table, {{0, 0.0, 0.0, 120.0},
                       {1, -180.0, 0.0, 24.0},
                       {12, -1000.0, 2000.0, 100.0},
                       {0, -200.0, 0.0, 24.0},
                       {2, 0.0, 0.0, 25.0}});
}

TEST(NewtonianRows, ShortFocusPutsTheBaffleHalfwayToTheMirror) {
    SurfaceTable table{};
    ASSERT_TRUE(buildNewtonian(table, 200.0, 0.4 * 200.0).ok); // 2f = 160 < 200: e = 40
    expectRows(table, {{0, 0.0, 0.0, 120.0},
                       {1, -36.0, 0.0, 60.0},
                       {12, -80.0, 160.0, 100.0},
                       {0, -40.0, 0.0, 60.0},
                       {2, 0.0, 0.0, 25.0}});
}

TEST(NewtonianRows, TwiceTheFocalLengthEqualToTheMarginKeepsTheFullBaffleDistance) {
    SurfaceTable table{};
    ASSERT_TRUE(buildNewtonian(table, 200.0, 0.5 * 200.0).ok); // 2f = 200, not below: e = 200
    EXPECT_DOUBLE_EQ(table[1].z, -180.0);
    EXPECT_DOUBLE_EQ(table[1].effectiveRadius, 0.6 * 200.0 * 200.0 / 100.0);
    EXPECT_DOUBLE_EQ(table[3].z, -200.0);
}

// The design as the shell leaves it: built, then refocused twice at the line.
SurfaceTable finished(SurfaceTable table, int line) {
    LensSystem lens;
    lens.surfaces = table;
    refocusAfterDesign(lens, line);
    return lens.surfaces;
}

TEST(NewtonianPhysics, ParaboloidHasNoSphericalAberrationAndTheFocalLengthAsked) {
    SurfaceTable table{};
    ASSERT_TRUE(buildNewtonian(table, 200.0, 1000.0).ok);
    table = finished(table, WavelengthLine::e);
    EXPECT_NEAR(test::sphericalOver(table, 200.0, WavelengthLine::e), 0.0, 1e-6);
    EXPECT_NEAR(test::nearAxisFocalLength(table, 200.0, WavelengthLine::e), 1000.0, 10.0);
    EXPECT_NEAR(table[4].z, 0.0, 1e-6);
}

class TwoMirrorTypes : public ::testing::TestWithParam<ReflectorType> {};

DesignResult buildTwoMirror(ReflectorType type, SurfaceTable& table, double D, double f, double b,
                            double k) {
    return type == ReflectorType::Cassegrain
               ? buildCassegrain(table, sourceAtInfinity(), D, f, b, k)
               : buildDallKirkham(table, sourceAtInfinity(), D, f, b, k);
}

TEST_P(TwoMirrorTypes, CorrectedFarBelowASphericalMirrorAtTheFocalLengthAsked) {
    const double D = 200.0, f = 2000.0;
    SurfaceTable table{};
    ASSERT_TRUE(buildTwoMirror(GetParam(), table, D, f, 150.0, 1.0).ok);
    table = finished(table, WavelengthLine::e);
    const double corrected = test::sphericalOver(table, D, WavelengthLine::e);
    const double mirror = test::sphericalOver(test::sphericalMirror(D, f), D, WavelengthLine::e);
    EXPECT_LT(corrected, mirror / 20.0);
    EXPECT_NEAR(test::nearAxisFocalLength(table, D, WavelengthLine::e), f, 0.01 * f);
    // The focus lies the back focus behind the primary (row 2).
    EXPECT_NEAR(table[4].z, table[2].z - 150.0, 0.01 * f);
}

TEST_P(TwoMirrorTypes, NoTwoMirrorSolutionLeavesTheTableAndSaysSo) {
    SurfaceTable table = test::markerTable();
    const DesignResult r = buildTwoMirror(GetParam(), table, 200.0, 1000.0, 2000.0, 1.0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::NoTwoMirrorSolution);
    EXPECT_EQ(r.details.backFocus, 2000.0);
    EXPECT_TRUE(test::sameTable(table, test::markerTable()));
}

INSTANTIATE_TEST_SUITE_P(CassegrainForms, TwoMirrorTypes,
                         ::testing::Values(ReflectorType::Cassegrain, ReflectorType::DallKirkham),
                         [](const ::testing::TestParamInfo<ReflectorType>& info) {
                             return info.param == ReflectorType::Cassegrain ? "Cassegrain"
                                                                            : "DallKirkham";
                         });

TEST(CassegrainRows, SecondaryStartsAsTheConicOfTheSolvedLayout) {
    const double D = 200.0, f = 2000.0, b = 150.0, k = 1.0;
    const TwoMirror m = solveTwoMirror(D, f, b, k);
    ASSERT_TRUE(m.solved);
    SurfaceTable table{};
    ASSERT_TRUE(buildCassegrain(table, sourceAtInfinity(), D, f, b, k).ok);
    EXPECT_EQ(table[0].type, SurfaceType::Stop);
    EXPECT_EQ(table[1].type, SurfaceType::Obstruction);
    EXPECT_EQ(table[2].type, SurfaceType::ParaboloidMirror);
    EXPECT_DOUBLE_EQ(table[2].z, -D - m.s);
    EXPECT_DOUBLE_EQ(table[2].radius, m.r1);
    EXPECT_EQ(table[3].type, SurfaceType::AsphericMirror);
    EXPECT_DOUBLE_EQ(table[3].z, -D);
    EXPECT_DOUBLE_EQ(table[3].radius, 1.0 / (2.0 * k * m.r1));
    EXPECT_EQ(table[4].type, SurfaceType::FlatFocal);
    EXPECT_DOUBLE_EQ(table[4].effectiveRadius, 0.2 * D);
}

TEST(DallKirkhamRows, SphericalSecondaryOfTheRatioAsked) {
    const double D = 200.0, f = 2000.0, b = 150.0, k = 1.5;
    const TwoMirror m = solveTwoMirror(D, f, b, k);
    ASSERT_TRUE(m.solved);
    SurfaceTable table{};
    ASSERT_TRUE(buildDallKirkham(table, sourceAtInfinity(), D, f, b, k).ok);
    EXPECT_EQ(table[2].type, SurfaceType::AsphericMirror);
    EXPECT_DOUBLE_EQ(table[2].radius, 0.5 / m.r1);
    EXPECT_EQ(table[3].type, SurfaceType::SphericalMirror);
    EXPECT_DOUBLE_EQ(table[3].radius, k * m.r1);
}

} // namespace
} // namespace kiro
