#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "design/catadioptric_builders.h"
#include "design_test_support.h"
#include "presenters/design_dialog_logic.h"

namespace kiro {
namespace {

using test::sourceAtInfinity;

TEST(MaksutovMeniscus, RadiiFollowTheFocalRatioAndTheAchromaticThickness) {
    const Meniscus m = maksutovMeniscus(100.0, 500.0, 1.5168);
    EXPECT_NEAR(m.front, 176.67, 0.01);
    EXPECT_NEAR(m.rear, 182.47, 0.01);
    EXPECT_NEAR(m.rear - m.front, 10.27 * (1.5168 * 1.5168 - 1.0) / (1.5168 * 1.5168), 1e-9);
}

TEST(MaksutovNewtonianRows, MirrorMeniscusAndFocusRowsOfTheEdgeCase) {
    const GlassCatalog catalog = test::flatCatalog({{"AIR", 1.0}, {"CROWN", 1.5168}});
    SurfaceTable table{};
    ASSERT_TRUE(
        buildMaksutovNewtonian(
            table, sourceAtInfinity(), catalog,
            {.aperture = 100.0, .focalLength = 500.0, .line = WavelengthLine::d, .glass = 1})
            .ok);
    EXPECT_EQ(table[0].type, SurfaceType::SphericalLens);
    EXPECT_DOUBLE_EQ(table[0].z, 10.0);
    EXPECT_STREQ(table[0].material, "CROWN");
    EXPECT_DOUBLE_EQ(table[0].index[2], 1.5168);
    EXPECT_EQ(table[1].type, SurfaceType::SphericalLens);
    EXPECT_DOUBLE_EQ(table[1].index[2], 1.0);
    EXPECT_STREQ(table[1].material, "");
    // The mirror is not tuned.
    EXPECT_EQ(table[3].type, SurfaceType::SphericalMirror);
    EXPECT_NEAR(table[3].z, -695.26, 0.01);
    EXPECT_NEAR(table[3].radius, 1025.07, 0.01);
    EXPECT_DOUBLE_EQ(table[3].effectiveRadius, 70.0);
    // Obstruction, baffle and curved focal surface placed from the focus.
    const double focus = table[5].z;
    EXPECT_EQ(table[5].type, SurfaceType::SphericalFocal);
    EXPECT_DOUBLE_EQ(table[5].radius, 500.0);
    EXPECT_DOUBLE_EQ(table[5].effectiveRadius, 12.5);
    EXPECT_EQ(table[2].type, SurfaceType::Obstruction);
    EXPECT_DOUBLE_EQ(table[2].z, focus + 10.0);
    EXPECT_DOUBLE_EQ(table[2].effectiveRadius, 0.6 * 100.0 * 150.0 / 500.0);
    EXPECT_EQ(table[4].type, SurfaceType::Stop);
    EXPECT_DOUBLE_EQ(table[4].z, focus - 150.0);
    EXPECT_EQ(table[6].type, SurfaceType::End);
}

TEST(SchmidtPlateProfile, FocalLengthCorrectionOfTheEdgeCase) {
    const SchmidtPlate p = schmidtPlate(200.0, 400.0, 1.5168);
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.c, 0.99400, 5e-6);
    EXPECT_NEAR(p.fPrime, 397.60, 0.005);
    EXPECT_GT(p.a1, 0.0);
}

TEST(SchmidtPlateProfile, TooFastARatioHasNoProfile) {
    EXPECT_FALSE(schmidtPlate(200.0, 80.0, 1.5168).valid); // 0.435 D / f > 1
}

TEST(SchmidtCameraRows, PlateAtTheMirrorsCentreAndCurvedFocalSurface) {
    const GlassCatalog catalog = test::flatCatalog({{"AIR", 1.0}, {"CROWN", 1.5168}});
    SurfaceTable table{};
    ASSERT_TRUE(
        buildSchmidtCamera(
            table, sourceAtInfinity(), catalog,
            {.aperture = 200.0, .focalLength = 400.0, .line = WavelengthLine::d, .glass = 1})
            .ok);
    const SchmidtPlate p = schmidtPlate(200.0, 400.0, 1.5168);
    EXPECT_EQ(table[0].type, SurfaceType::FlatLens);
    EXPECT_DOUBLE_EQ(table[0].z, 10.0);
    EXPECT_STREQ(table[0].material, "CROWN");
    EXPECT_EQ(table[1].type, SurfaceType::AsphericLens);
    EXPECT_DOUBLE_EQ(table[1].z, 0.0);
    EXPECT_DOUBLE_EQ(table[1].radius, p.a1);
    EXPECT_DOUBLE_EQ(table[1].a2, p.a2);
    EXPECT_DOUBLE_EQ(table[1].a3, p.a3);
    EXPECT_DOUBLE_EQ(table[1].a4, p.a4);
    EXPECT_EQ(table[2].type, SurfaceType::SphericalMirror);
    EXPECT_NEAR(table[2].z, -795.20, 0.01);
    EXPECT_NEAR(table[2].radius, 795.20, 0.01);
    EXPECT_DOUBLE_EQ(table[2].effectiveRadius, 140.0);
    EXPECT_EQ(table[3].type, SurfaceType::SphericalFocal);
    EXPECT_NEAR(table[3].radius, 397.60, 0.005);
    EXPECT_DOUBLE_EQ(table[3].effectiveRadius, 25.0);
    EXPECT_EQ(table[4].type, SurfaceType::End);
}

// Every corrected type from the shared dispatch, as the dialog runs it.
struct CorrectedCase {
    ReflectorType type;
    double D, F, b;
};

class CorrectedTypes : public ::testing::TestWithParam<CorrectedCase> {};

const char* typeName(ReflectorType type) {
    static constexpr const char* kNames[] = {
        "Newtonian",   "Cassegrain",        "MaksutovNewtonian",      "MaksutovCassegrain",
        "DallKirkham", "SchmidtCassegrain", "BakerSchmidtCassegrain", "SchmidtCamera"};
    return kNames[listPosition(type)];
}

TEST_P(CorrectedTypes, FarLessSphericalAberrationThanAMirrorAtTheFocalLengthAsked) {
    const CorrectedCase c = GetParam();
    const GlassCatalog catalog = test::shippedCatalog();
    ReflectorInputs in;
    in.type = c.type;
    in.aperture = c.D;
    in.fNumber = c.F;
    in.backFocus = c.b;
    in.glass = test::glassNamed(catalog, "N-BK7");
    SurfaceTable table{};
    ASSERT_TRUE(designReflector(table, sourceAtInfinity(), catalog, in).ok);
    LensSystem lens;
    lens.surfaces = table;
    refocusAfterDesign(lens, in.line);
    const double f = c.F * c.D;
    const double corrected = test::sphericalOver(lens.surfaces, c.D, in.line);
    const double mirror = test::sphericalOver(test::sphericalMirror(c.D, f), c.D, in.line);
    EXPECT_LT(corrected, mirror / 10.0) << "mirror " << mirror;
    EXPECT_NEAR(test::nearAxisFocalLength(lens.surfaces, c.D, in.line), f, 0.01 * f);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, CorrectedTypes,
    ::testing::Values(CorrectedCase{ReflectorType::MaksutovNewtonian, 150.0, 5.0, 150.0},
                      CorrectedCase{ReflectorType::MaksutovCassegrain, 150.0, 12.0, 150.0},
                      CorrectedCase{ReflectorType::SchmidtCassegrain, 200.0, 10.0, 200.0},
                      CorrectedCase{ReflectorType::BakerSchmidtCassegrain, 200.0, 10.0, 200.0},
                      CorrectedCase{ReflectorType::SchmidtCamera, 200.0, 2.0, 200.0}),
    [](const ::testing::TestParamInfo<CorrectedCase>& info) { return typeName(info.param.type); });

class GlassChecks : public ::testing::TestWithParam<ReflectorType> {};

TEST_P(GlassChecks, MissingOrUnusableCorrectorGlassWritesNothingAndNamesIt) {
    const GlassCatalog catalog = test::shippedCatalog();
    ReflectorInputs in;
    in.type = GetParam();
    in.aperture = 150.0;
    in.fNumber = 10.0;
    SurfaceTable table = test::markerTable();

    in.glass = kNoGlass;
    DesignResult r = designReflector(table, sourceAtInfinity(), catalog, in);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::GlassNotChosen);
    EXPECT_EQ(r.details.control, GlassControl::Corrector);
    EXPECT_TRUE(test::sameTable(table, test::markerTable()));

    in.glass = test::glassNamed(catalog, "AIR");
    r = designReflector(table, sourceAtInfinity(), catalog, in);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::GlassIndexNotAboveOne);
    EXPECT_STREQ(r.details.glassName, "AIR");
    EXPECT_TRUE(test::sameTable(table, test::markerTable()));

    in.glass = kMaxGlasses; // beyond the catalogue's table
    EXPECT_FALSE(designReflector(table, sourceAtInfinity(), catalog, in).ok);
    EXPECT_TRUE(test::sameTable(table, test::markerTable()));
}

INSTANTIATE_TEST_SUITE_P(
    EveryCorrector, GlassChecks,
    ::testing::Values(ReflectorType::MaksutovNewtonian, ReflectorType::MaksutovCassegrain,
                      ReflectorType::SchmidtCassegrain, ReflectorType::BakerSchmidtCassegrain,
                      ReflectorType::SchmidtCamera),
    [](const ::testing::TestParamInfo<ReflectorType>& info) { return typeName(info.param); });

TEST(SchmidtBuilders, TooFastARatioFailsWithoutWriting) {
    const GlassCatalog catalog = test::shippedCatalog();
    SurfaceTable table = test::markerTable();
    const DesignResult r = buildSchmidtCamera(table, sourceAtInfinity(), catalog,
                                              {.aperture = 200.0,
                                               .focalLength = 60.0,
                                               .line = WavelengthLine::d,
                                               .glass = test::glassNamed(catalog, "N-BK7")});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::NoSchmidtCorrector);
    EXPECT_EQ(r.details.aperture, 200.0);
    EXPECT_EQ(r.details.focalLength, 60.0);
    EXPECT_TRUE(test::sameTable(table, test::markerTable()));
}

} // namespace
} // namespace kiro
