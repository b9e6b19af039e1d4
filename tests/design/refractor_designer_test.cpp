#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "design/designer_inputs.h"
#include "design/refractor_designer.h"
#include "design_test_support.h"
#include "presenters/design_dialog_logic.h"

namespace kiro {
namespace {

using test::sourceAtInfinity;

// Crown 1.5168 and flint 1.62 at every line, for the exact starting figures.
GlassCatalog crownAndFlint() {
    return test::flatCatalog({{"AIR", 1.0}, {"CROWN", 1.5168}, {"FLINT", 1.62}});
}

TEST(DoubletStartingRows, CrownInFrontGetsTheThickElementAndEqualRadii) {
    const GlassCatalog c = crownAndFlint();
    const SurfaceTable t = doubletStartingRows(sourceAtInfinity(), c.entries[1], c.entries[2],
                                               100.0, 900.0, WavelengthLine::d, 0.0, 0.0);
    const double A = 930.24;
    EXPECT_NEAR(t[0].radius, -A, 1e-9);
    EXPECT_NEAR(t[1].radius, A, 1e-9);
    EXPECT_NEAR(t[2].radius, A, 1e-9);
    EXPECT_NEAR(t[3].radius, A, 1e-9);
    EXPECT_DOUBLE_EQ(t[0].z - t[1].z, 15.5);
    EXPECT_DOUBLE_EQ(t[1].z - t[2].z, 0.5);
    EXPECT_DOUBLE_EQ(t[2].z - t[3].z, 8.5);
    EXPECT_STREQ(t[0].material, "CROWN");
    EXPECT_STREQ(t[1].material, "");
    EXPECT_STREQ(t[2].material, "FLINT");
    EXPECT_DOUBLE_EQ(t[3].index[2], 1.0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(t[static_cast<size_t>(i)].type, SurfaceType::SphericalLens);
        EXPECT_DOUBLE_EQ(t[static_cast<size_t>(i)].effectiveRadius, 50.0);
    }
    EXPECT_EQ(t[4].type, SurfaceType::FlatFocal);
    EXPECT_DOUBLE_EQ(t[4].effectiveRadius, 20.0);
    EXPECT_EQ(t[5].type, SurfaceType::End);
}

TEST(DoubletStartingRows, FlintInFrontTurnsTheInnerRadiiAndSwapsTheThicknesses) {
    const GlassCatalog c = crownAndFlint();
    const SurfaceTable t = doubletStartingRows(sourceAtInfinity(), c.entries[2], c.entries[1],
                                               100.0, 900.0, WavelengthLine::d, 0.0, 0.0);
    const double A = 930.24;
    EXPECT_NEAR(t[0].radius, -A, 1e-9);
    EXPECT_NEAR(t[1].radius, -A, 1e-9);
    EXPECT_NEAR(t[2].radius, -A, 1e-9);
    EXPECT_NEAR(t[3].radius, A, 1e-9);
    EXPECT_DOUBLE_EQ(t[0].z - t[1].z, 8.5);
    EXPECT_DOUBLE_EQ(t[2].z - t[3].z, 15.5);
}

TEST(DoubletStartingRows, GivenThicknessesAreTakenExactlyAndNonPositiveOnesAreAutomatic) {
    const GlassCatalog c = crownAndFlint();
    const SurfaceTable t = doubletStartingRows(sourceAtInfinity(), c.entries[1], c.entries[2],
                                               100.0, 900.0, WavelengthLine::d, 3.0, -2.0);
    EXPECT_DOUBLE_EQ(t[1].z, -3.0);
    EXPECT_DOUBLE_EQ(t[2].z - t[3].z, 8.5);
}

RefractorMerit defaultMerit() {
    return {MeasureFlag::All, WavelengthLine::d,
            (1 << WavelengthLine::d) | (1 << WavelengthLine::F)};
}

TEST(DoubletDesign, TracedFocalLengthIsTheOneAskedAndColourFarBelowASingleLens) {
    const GlassCatalog catalog = test::shippedCatalog();
    const int crown = test::glassNamed(catalog, "N-BK7");
    const int flint = test::glassNamed(catalog, "F2");
    const double D = 100.0, f = 900.0;
    SurfaceTable table{};
    ASSERT_TRUE(buildDoublet(table, sourceAtInfinity(), catalog, D, f, defaultMerit(), crown, flint,
                             0.0, 0.0)
                    .ok);
    // One linear rescale leaves the zone D/100 at f up to the change of its aberration.
    const double g =
        zonalFocus(table, sourceAtInfinity(), WavelengthLine::d, D / 100.0, ZonalMode::OpticalOnly)
            .f;
    EXPECT_NEAR(g, f, 1e-3 * f);
    LensSystem lens;
    lens.surfaces = table;
    refocusAfterDesign(lens, WavelengthLine::d);
    EXPECT_NEAR(test::nearAxisFocalLength(lens.surfaces, D, WavelengthLine::d), f, 0.01 * f);
    const int mask = defaultMerit().mask;
    const double doublet =
        chromaticAberration(lens.surfaces, sourceAtInfinity(), D / 200.0, D / 2.0, mask);
    const SurfaceTable single =
        test::singleLens(catalog.entries[static_cast<size_t>(crown)], D, f, WavelengthLine::d);
    const double lens1 = chromaticAberration(single, sourceAtInfinity(), D / 200.0, D / 2.0, mask);
    EXPECT_LT(doublet, lens1 / 10.0) << "single lens " << lens1;
}

TEST(DoubletDesign, SharingTheSearchOverThreadsPicksTheSameWinner) {
    const GlassCatalog catalog = test::shippedCatalog();
    const int crown = test::glassNamed(catalog, "N-BK7");
    const int flint = test::glassNamed(catalog, "N-F2");
    RefractorMerit merit = defaultMerit();
    merit.flags = MeasureFlag::Spherical; // the cheapest measure keeps the test short
    SurfaceTable one{}, three{};
    ASSERT_TRUE(buildDoublet(one, sourceAtInfinity(), catalog, 80.0, 600.0, merit, crown, flint,
                             0.0, 0.0, 1)
                    .ok);
    ASSERT_TRUE(buildDoublet(three, sourceAtInfinity(), catalog, 80.0, 600.0, merit, crown, flint,
                             0.0, 0.0, 3)
                    .ok);
    EXPECT_TRUE(test::sameTable(one, three));
}

TEST(DoubletDesign, MissingOrUnusableGlassWritesNothingAndNamesTheSlot) {
    const GlassCatalog catalog = test::shippedCatalog();
    const int crown = test::glassNamed(catalog, "N-BK7");
    const int air = test::glassNamed(catalog, "AIR");
    SurfaceTable table = test::markerTable();
    DesignResult r = buildDoublet(table, sourceAtInfinity(), catalog, 100.0, 900.0, defaultMerit(),
                                  kNoGlass, crown, 0.0, 0.0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::GlassNotChosen);
    EXPECT_EQ(r.details.control, GlassControl::Glass1);
    r = buildDoublet(table, sourceAtInfinity(), catalog, 100.0, 900.0, defaultMerit(), crown, air,
                     0.0, 0.0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::GlassIndexNotAboveOne);
    EXPECT_EQ(r.details.control, GlassControl::Glass2);
    EXPECT_EQ(r.details.glass, air);
    EXPECT_STREQ(r.details.glassName, "AIR");
    r = buildDoubletFlattener(table, sourceAtInfinity(), catalog, 100.0, 900.0, defaultMerit(),
                              crown, crown, kNoGlass, 0.0, 0.0, 0.0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::GlassNotChosen);
    EXPECT_EQ(r.details.control, GlassControl::Glass3);
    EXPECT_TRUE(test::sameTable(table, test::markerTable()));
}

TEST(DoubletDesign, WithNoMeasureTheStartingRadiiAreOnlyScaled) {
    const GlassCatalog c = crownAndFlint();
    RefractorMerit none = defaultMerit();
    none.flags = {};
    SurfaceTable table{};
    ASSERT_TRUE(buildDoublet(table, sourceAtInfinity(), c, 100.0, 900.0, none, 1, 2, 0.0, 0.0).ok);
    // Every radius keeps the starting ratio to the others: -A, A, A, A times one factor.
    EXPECT_NEAR(table[1].radius / -table[0].radius, 1.0, 1e-12);
    EXPECT_NEAR(table[2].radius / table[1].radius, 1.0, 1e-12);
    EXPECT_NEAR(table[3].radius / table[1].radius, 1.0, 1e-12);
}

TEST(DoubletFlattenerDesign, FlattenerPlacedAtTwoFifthsOfTheFocalLengthKeepsTheFocalLength) {
    const GlassCatalog catalog = test::shippedCatalog();
    const int crown = test::glassNamed(catalog, "S-FPL53");
    const int flint = test::glassNamed(catalog, "N-KZFS4");
    const int third = test::glassNamed(catalog, "N-SF5");
    const double D = 102.0, f = 714.0;
    SurfaceTable table{};
    ASSERT_TRUE(buildDoubletFlattener(table, sourceAtInfinity(), catalog, D, f, defaultMerit(),
                                      crown, flint, third, 0.0, 0.0, 0.0)
                    .ok);
    EXPECT_EQ(table[4].type, SurfaceType::SphericalLens);
    EXPECT_DOUBLE_EQ(table[4].z, -0.4 * f);
    EXPECT_DOUBLE_EQ(table[5].z, -0.4 * f - 0.02 * f);
    EXPECT_DOUBLE_EQ(table[4].effectiveRadius, 0.35 * D);
    EXPECT_STREQ(table[4].material, "N-SF5");
    EXPECT_STREQ(table[5].material, "");
    EXPECT_EQ(table[6].type, SurfaceType::FlatFocal);
    EXPECT_EQ(table[7].type, SurfaceType::End);
    LensSystem lens;
    lens.surfaces = table;
    refocusAfterDesign(lens, WavelengthLine::d);
    EXPECT_NEAR(test::nearAxisFocalLength(lens.surfaces, D, WavelengthLine::d), f, 0.01 * f);
}

} // namespace
} // namespace kiro
