#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "design/merit.h"
#include "presenters/lens_editor.h"
#include "tests/design/design_test_support.h"
#include "tests/design/sample_designs.h"

namespace kiro {
namespace {

using samples::row;

// Entry 0 is no glass; "BK7" twice, so the last of the two is the one found.
GlassCatalog editorCatalog() {
    return test::flatCatalog({{"AIR", 1.0}, {"BK7", 1.5}, {"F2", 1.6}, {"BK7", 1.52}});
}

constexpr samples::Indices kGlass15{1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5};

// Five rows: stop, a lens of "BK7", a paraboloid, a flat focal plane; row 4 a mirror
// made aspheric with a material the catalogue lacks.
SurfaceTable fiveRows() {
    SurfaceTable t{};
    t[0] = row(SurfaceType::Stop, 0.0, 0.0, 50.0);
    t[1] = row(SurfaceType::SphericalLens, -10.0, -400.0, 52.0, kGlass15, "BK7");
    t[2] = row(SurfaceType::SphericalLens, -22.5, 406.0, 52.0);
    t[3] = row(SurfaceType::AsphericLens, -30.0, 0.001, 40.0, kGlass15, "SF99");
    t[3].a2 = 1e-7;
    t[3].a3 = -2.5e-12;
    t[3].a4 = 3;
    t[4] = row(SurfaceType::FlatFocal, -900.0, 0.0, 30.0);
    return t;
}

struct EditorFixture : ::testing::Test {
    GlassCatalog catalog = editorCatalog();
    Settings settings{};
};

// --- Opening -------------------------------------------------------------------------

using EditorOpening = EditorFixture;

TEST_F(EditorOpening, ShowsRowsInUseWithDiametersPlaceholdersSpacingsAndPositions) {
    const LensEditor editor(fiveRows(), settings, catalog);
    const EditorGrid& g = editor.grid();

    EXPECT_EQ(g[0].type, 1); // 絞り
    EXPECT_EQ(g[0].radius, "0");
    EXPECT_EQ(g[0].a2, "-");
    EXPECT_EQ(g[0].diameter, "100");
    EXPECT_EQ(g[0].spacing, "10");
    EXPECT_EQ(g[0].position, "0");

    EXPECT_EQ(g[1].type, 10); // 球面レンズ
    EXPECT_EQ(g[1].radius, "-400");
    EXPECT_EQ(g[1].material, 3); // the last "BK7"
    EXPECT_EQ(g[1].spacing, "12.5");
    EXPECT_EQ(g[2].material, 0); // air

    EXPECT_EQ(g[3].type, 11); // 非球面レンズ shows its coefficients
    EXPECT_EQ(g[3].radius, "0.001");
    EXPECT_EQ(g[3].a2, "1e-07");
    EXPECT_EQ(g[3].a3, "-2.5e-12");
    EXPECT_EQ(g[3].a4, "3");
    EXPECT_EQ(g[3].material, 4); // "SF99", listed after the catalogue's four
    EXPECT_EQ(g[3].spacing, "870");

    // The last row in use: nothing after it, so no material and no spacing.
    EXPECT_EQ(g[4].type, 3);
    EXPECT_EQ(g[4].material, kNoSelection);
    EXPECT_EQ(g[4].spacing, "");
    EXPECT_EQ(g[4].position, "-900");
    for (int k = 5; k < kEditorRows; ++k) {
        EXPECT_EQ(g[k], EditorRow{}) << k;
    }
}

TEST_F(EditorOpening, EmptyDesignShowsAnEmptyGridAndOkStoresSixteenUnusedRows) {
    LensEditor editor(SurfaceTable{}, settings, catalog);
    for (const EditorRow& shown : editor.grid()) {
        EXPECT_EQ(shown, EditorRow{});
    }
    SurfaceTable design = fiveRows();
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    for (const Surface& s : design) {
        EXPECT_EQ(s.type, SurfaceType::End);
    }
}

TEST_F(EditorOpening, MaterialListPicksNoneForDashesAndUnknownTypesShowAsNone) {
    SurfaceTable t = fiveRows();
    std::strcpy(t[1].material, "-");
    t[2].type = 7; // not a type the list knows
    const LensEditor editor(t, settings, catalog);
    EXPECT_EQ(editor.grid()[1].material, 0);
    EXPECT_EQ(editor.grid()[2].type, 0);
}

// --- Spacing and position coupling ---------------------------------------------------

using EditorCoupling = EditorFixture;

TEST_F(EditorCoupling, SpacingEditMovesEveryLaterPositionAndBlanksUnusedRows) {
    LensEditor editor(fiveRows(), settings, catalog);
    editor.setText(1, EditorColumn::Spacing, "20");
    const EditorGrid& g = editor.grid();
    EXPECT_EQ(g[0].position, "0");
    EXPECT_EQ(g[1].position, "-10");
    EXPECT_EQ(g[2].position, "-30");
    EXPECT_EQ(g[3].position, "-37.5");
    EXPECT_EQ(g[4].position, "-907.5");
    EXPECT_EQ(g[5].position, " "); // no selection
}

TEST_F(EditorCoupling, FifteenthSpacingMovesNothing) {
    SurfaceTable t{};
    for (int k = 0; k < kSurfaceRows; ++k) {
        t[k] = row(SurfaceType::Stop, -10.0 * k, 0.0, 10.0);
    }
    LensEditor editor(t, settings, catalog);
    const EditorGrid before = editor.grid();
    editor.setText(14, EditorColumn::Spacing, "99");
    EXPECT_EQ(editor.grid()[15].position, before[15].position);
    EXPECT_EQ(editor.grid()[15].position, "-150");
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[15].z, -150.0);
}

TEST_F(EditorCoupling, PositionEditSettlesTheSpacingsAroundIt) {
    LensEditor editor(fiveRows(), settings, catalog);
    editor.setText(2, EditorColumn::Position, "-25");
    EXPECT_EQ(editor.grid()[1].spacing, "15");
    EXPECT_EQ(editor.grid()[2].spacing, "5");
    EXPECT_EQ(editor.grid()[0].spacing, "10");
    // The positions reach the design only through the spacings.
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[2].z, -25.0);
    EXPECT_EQ(design[3].z, -30.0);
}

// Each number is finite, but the positions they add up to overflow: the spacing that
// makes a position infinite is refused, and nothing infinite reaches the design.
TEST_F(EditorCoupling, SpacingsWhosePositionsOverflowAreRefused) {
    struct Typing {
        int row;
        EditorColumn column;
        const char* text;
    };
    const std::vector<std::vector<Typing>> cases = {
        {{0, EditorColumn::Spacing, "1e308"}, {1, EditorColumn::Spacing, "1e308"}},
        {{1, EditorColumn::Position, "1e308"}, {2, EditorColumn::Position, "-1e308"}},
        {{1, EditorColumn::Spacing, "-1.7e308"}, {2, EditorColumn::Spacing, "-1.7e308"}},
    };
    for (const auto& typing : cases) {
        LensEditor editor(fiveRows(), settings, catalog);
        for (const Typing& t : typing) {
            editor.setText(t.row, t.column, t.text);
        }
        const int overflowingGap =
            typing.back().row - (typing.back().column == EditorColumn::Position);
        SurfaceTable design = fiveRows();
        EXPECT_EQ(editor.confirm(design), EditorVerdict::UnreadableNumber) << typing[0].text;
        EXPECT_EQ(editor.refusal().row, overflowingGap);
        EXPECT_EQ(editor.refusal().column, EditorColumn::Spacing);
        EXPECT_EQ(editor.refusal().problem, NumberProblem::OutOfRange);
        EXPECT_TRUE(samples::identicalTables(design, fiveRows()));
        EXPECT_EQ(editor.focusAt(WavelengthLine::d), EditorVerdict::UnreadableNumber);
        EXPECT_EQ(editor.addRowAfter(0), EditorVerdict::UnreadableNumber);
    }
}

TEST_F(EditorCoupling, FirstRowIsStoredAtZeroWhateverItsPositionShows) {
    LensEditor editor(fiveRows(), settings, catalog);
    editor.setText(0, EditorColumn::Position, "42");
    EXPECT_EQ(editor.grid()[0].spacing, "52");
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[0].z, 0.0);
    EXPECT_EQ(design[1].z, -52.0);
}

// --- Add and delete ------------------------------------------------------------------

using EditorRows = EditorFixture;

TEST_F(EditorRows, DeletingTheThirdOfFiveMovesTheRestUpAndShowsAllSixteenRows) {
    LensEditor editor(fiveRows(), settings, catalog);
    editor.deleteRow(2);
    const EditorGrid& g = editor.grid();
    EXPECT_EQ(g[2].type, 11);
    EXPECT_EQ(g[2].position, "-30");
    EXPECT_EQ(g[1].spacing, "20");
    EXPECT_EQ(g[3].type, 3);
    EXPECT_EQ(g[3].position, "-900");
    for (int k = 4; k < kEditorRows; ++k) {
        EXPECT_EQ(g[k].type, 0) << k; // shown as "－無し－"
        EXPECT_EQ(g[k].diameter, "0") << k;
    }
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[2].type, SurfaceType::AsphericLens);
    EXPECT_EQ(design[2].effectiveRadius, 40.0);
    EXPECT_EQ(design[4].type, SurfaceType::End);
}

TEST_F(EditorRows, AddInTheMiddleInsertsAStopAtTheNextRowsPlaceAndWidth) {
    LensEditor editor(fiveRows(), settings, catalog);
    editor.addRowAfter(1); // button 351
    const EditorGrid& g = editor.grid();
    EXPECT_EQ(g[2].type, 1);
    EXPECT_EQ(g[2].position, "-22.5");
    EXPECT_EQ(g[2].diameter, "104");
    EXPECT_EQ(g[2].spacing, "0");
    EXPECT_EQ(g[2].material, 0);
    EXPECT_EQ(g[1].spacing, "12.5");
    EXPECT_EQ(g[3].radius, "406");
    EXPECT_EQ(g[5].type, 3);
}

TEST_F(EditorRows, LastAddReplacesTheSixteenthRow) {
    SurfaceTable t{};
    for (int k = 0; k < kSurfaceRows; ++k) {
        t[k] = row(SurfaceType::Obstruction, -1.0 * k, 0.0, k);
    }
    LensEditor editor(t, settings, catalog);
    editor.addRowAfter(14); // button 364
    const EditorGrid& g = editor.grid();
    EXPECT_EQ(g[14].type, 2);
    EXPECT_EQ(g[15].type, 1);
    EXPECT_EQ(g[15].position, "-14");
    EXPECT_EQ(g[15].diameter, "28");
}

// The working table keeps diameters, so a refused focus button does not halve what add
// and delete show afterwards.
TEST_F(EditorRows, AddAndDeleteAfterARefusedFocusShowTheDiametersTyped) {
    LensEditor editor(fiveRows(), settings, catalog);
    editor.setText(4, EditorColumn::Diameter, "-1");
    const EditorGrid before = editor.grid();
    EXPECT_EQ(editor.focusAt(WavelengthLine::d), EditorVerdict::InvalidDiameter);
    EXPECT_EQ(editor.refusal().row, 4);
    EXPECT_EQ(editor.grid(), before);
    editor.deleteRow(0);
    EXPECT_EQ(editor.grid()[0].diameter, "104");
    EXPECT_EQ(editor.grid()[3].diameter, "-1");
}

// --- Reading the grid ----------------------------------------------------------------

using EditorReading = EditorFixture;

TEST_F(EditorReading, MaterialsGoOnlyToLensRowsWithAGlassSelected) {
    SurfaceTable t = fiveRows();
    t[5] = row(SurfaceType::FlatFocal, -950.0, 0.0, 30.0); // row 4 gets a next row
    LensEditor editor(t, settings, catalog);
    editor.setMaterialSelection(0, 2); // a stop: never a material
    editor.setMaterialSelection(2, 2); // lens surface: "F2"
    editor.setTypeSelection(4, 6);     // now a spherical mirror
    editor.setMaterialSelection(4, 1); // a mirror: never a material
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_STREQ(design[0].material, "");
    EXPECT_EQ(design[0].index[2], 1.0);
    EXPECT_STREQ(design[1].material, "BK7"); // untouched: its own indices, not the list's
    EXPECT_EQ(design[1].index[2], 1.5);
    EXPECT_STREQ(design[2].material, "F2");
    EXPECT_EQ(design[2].index[5], 1.6);
    EXPECT_STREQ(design[3].material, "SF99"); // kept, though the catalogue lacks it
    EXPECT_EQ(design[3].index, kGlass15);
    EXPECT_EQ(design[4].type, SurfaceType::SphericalMirror);
    EXPECT_STREQ(design[4].material, "");
    EXPECT_EQ(design[4].index[2], 1.0);
}

TEST_F(EditorReading, LastRowKeepsItsPositionAndMaterial) {
    SurfaceTable t{};
    for (int k = 0; k < kSurfaceRows; ++k) {
        t[k] = row(SurfaceType::SphericalLens, -2.0 * k, 100.0, 20.0);
    }
    t[15] = row(SurfaceType::SphericalLens, -77.0, 100.0, 20.0, kGlass15, "BK7");
    LensEditor editor(t, settings, catalog);
    editor.setText(15, EditorColumn::Position, "-5");
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[15].z, -77.0);
    EXPECT_STREQ(design[15].material, "BK7");
    EXPECT_EQ(design[15].index[1], 1.5);
}

TEST_F(EditorReading, NoneInTheMiddleEndsTheTableButLaterRowsAreStored) {
    LensEditor editor(fiveRows(), settings, catalog);
    editor.setTypeSelection(2, 0);
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[2].type, SurfaceType::End);
    EXPECT_EQ(surfaceCount(design), 2);
    EXPECT_EQ(design[3].type, SurfaceType::AsphericLens);
    EXPECT_EQ(design[4].z, -900.0);
}

TEST_F(EditorReading, TypeChangeLeavesTheGridAndStoresWhatTheEditsHold) {
    LensEditor editor(fiveRows(), settings, catalog);
    const EditorGrid before = editor.grid();
    editor.setTypeSelection(1, 11); // 非球面レンズ, edits still show "-"
    EXPECT_EQ(editor.grid()[1].a2, before[1].a2);
    editor.setText(0, EditorColumn::A3, "5"); // typed over a placeholder of a stop
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[1].type, SurfaceType::AsphericLens);
    EXPECT_EQ(design[1].a2, 0.0);
    EXPECT_EQ(design[0].a3, 5.0);
    EXPECT_EQ(design[0].nz, 1.0);
    EXPECT_EQ(design[0].effectiveRadius, 50.0);
}

struct DiameterCase {
    int typePosition;
    const char* diameter;
    bool accepted;
};

// Named by its inputs, so that the test's name stays the same from build to build.
void PrintTo(const DiameterCase& c, std::ostream* out) {
    *out << "type " << c.typePosition << " diameter \"" << c.diameter << '"';
}

class EditorDiameterRule : public EditorFixture,
                           public ::testing::WithParamInterface<DiameterCase> {};

TEST_P(EditorDiameterRule, RefusedTablesLeaveTheDesignUntouched) {
    const DiameterCase c = GetParam();
    LensEditor editor(fiveRows(), settings, catalog);
    editor.setTypeSelection(2, c.typePosition);
    editor.setText(2, EditorColumn::Diameter, c.diameter);
    const SurfaceTable original = fiveRows();
    SurfaceTable design = original;
    const EditorVerdict verdict = editor.confirm(design);
    EXPECT_EQ(verdict == EditorVerdict::Accepted, c.accepted);
    if (!c.accepted) {
        EXPECT_TRUE(samples::identicalTables(design, original));
    }
}

INSTANTIATE_TEST_SUITE_P(DiameterRule, EditorDiameterRule,
                         ::testing::Values(DiameterCase{2, "0", true},  // obstruction
                                           DiameterCase{0, "0", true},  // row not in use
                                           DiameterCase{1, "0", false}, // stop
                                           DiameterCase{3, "0", false}, // focal plane
                                           DiameterCase{6, "", false},  // empty is no number
                                           DiameterCase{10, "abc", false},
                                           DiameterCase{0, "-1", false}, // negative anywhere
                                           DiameterCase{2, "-1", false},
                                           DiameterCase{10, "nan", false}, // not a number at all
                                           DiameterCase{10, "1e999", false},
                                           DiameterCase{10, "0.001", true}));

// --- Focus buttons -------------------------------------------------------------------

using EditorFocus = EditorFixture;

TEST_F(EditorFocus, EachButtonMovesTheFocalPlaneToTheMeanFocusOfItsLine) {
    const GlassCatalog shipped = test::shippedCatalog();
    const LensSystem doublet = samples::achromaticDoublet();
    std::vector<double> foci;
    for (int line = WavelengthLine::C; line <= WavelengthLine::h; ++line) {
        LensEditor editor(doublet.surfaces, settings, shipped);
        ASSERT_EQ(editor.focusAt(line), EditorVerdict::Accepted);
        SurfaceTable design{};
        ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
        SurfaceTable traced = design;
        traced[5].z = -900.0;
        refocus(traced, settings, line);
        // The grid shows the focus with six digits; the design takes it exactly.
        EXPECT_EQ(editor.grid()[4].spacing, formatGridNumber(-20.0 - traced[5].z)) << line;
        EXPECT_EQ(editor.grid()[5].position, formatGridNumber(traced[5].z));
        EXPECT_EQ(design[5].z, traced[5].z);
        foci.push_back(design[5].z);
    }
    EXPECT_NE(foci.front(), foci.back()); // C and h focus apart
    EXPECT_GT(foci[1], -950.0);
    EXPECT_LT(foci[1], -850.0);
}

// A focus button leaves the editor as usable as before it.
TEST_F(EditorFocus, AddDeleteAndCouplingStillWorkAfterAFocusButton) {
    LensEditor editor(fiveRows(), settings, catalog);
    ASSERT_EQ(editor.focusAt(WavelengthLine::e), EditorVerdict::Accepted);
    const std::string focus = editor.grid()[4].position;
    ASSERT_EQ(editor.addRowAfter(0), EditorVerdict::Accepted);
    EXPECT_EQ(editor.grid()[1].type, 1); // the new stop
    EXPECT_EQ(editor.grid()[5].position, focus);
    editor.setText(0, EditorColumn::Spacing, "3");
    EXPECT_EQ(editor.grid()[1].position, "-3");
    ASSERT_EQ(editor.deleteRow(1), EditorVerdict::Accepted);
    EXPECT_EQ(editor.grid()[1].radius, "-400");
}

// --- What the user did not change ----------------------------------------------------

using EditorKeeping = EditorFixture;

// Random tables with full-precision values, tilted plane rows, materials in and out of
// the catalogue with indices of their own, and rows after the end: OK without an edit
// gives back every bit, only shifted so that the first row stands at 0 (the sixteenth
// row keeps its place).
TEST_F(EditorKeeping, OkWithoutEditsKeepsEveryBitUpToTheShiftToZero) {
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> number(-1000.0, 1000.0);
    std::uniform_real_distribution<double> width(0.001, 300.0);
    const char* const names[] = {"", "BK7", "F2", "SF99", "BK7 (old)"};
    for (int trial = 0; trial < 300; ++trial) {
        SurfaceTable t{};
        const int used = static_cast<int>(random() % (kSurfaceRows + 1));
        double z = trial % 3 == 0 ? 0.0 : number(random);
        for (int k = 0; k < kSurfaceRows; ++k) {
            Surface& s = t[k];
            s.type = kTypeListCodes[1 + random() % (kTypeListSize - 1)];
            if (k == used) {
                s.type = SurfaceType::End;
            }
            s.x = number(random) * 1e-3;
            s.y = number(random) * 1e-3;
            s.z = z;
            z -= width(random) / 3.0;
            s.nx = number(random);
            s.ny = number(random);
            s.nz = number(random);
            s.radius = number(random) / 3.0;
            s.a2 = number(random) * 1e-9;
            s.a3 = number(random) * 1e-15;
            s.a4 = number(random) * 1e-21;
            s.effectiveRadius = width(random) / 7.0;
            for (double& n : s.index) {
                n = 1.0 + width(random) / 1000.0;
            }
            std::strcpy(s.material, names[random() % std::size(names)]);
        }
        LensEditor editor(t, settings, catalog);
        SurfaceTable design{};
        ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted) << trial;
        SurfaceTable expected = t;
        for (int k = 0; k < kSurfaceRows - 1; ++k) {
            expected[k].z = t[k].z - t[0].z;
        }
        EXPECT_TRUE(samples::identicalTables(design, expected)) << trial;
    }
}

TEST_F(EditorKeeping, AMaterialOutsideTheCatalogueIsListedAndCanBePickedElsewhere) {
    SurfaceTable t = fiveRows();
    t[4].type = SurfaceType::SphericalLens;
    t[5] = row(SurfaceType::FlatFocal, -950.0, 0.0, 30.0);
    LensEditor editor(t, settings, catalog);
    ASSERT_EQ(editor.foreignMaterialCount(), 1);
    EXPECT_STREQ(editor.foreignMaterial(0).name, "SF99");
    editor.setMaterialSelection(4, glassCount(catalog)); // "SF99" picked for row 4
    editor.setMaterialSelection(1, 2);                   // row 1 changes to "F2"
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_STREQ(design[3].material, "SF99");
    EXPECT_STREQ(design[4].material, "SF99");
    EXPECT_EQ(design[4].index, kGlass15);
    EXPECT_STREQ(design[1].material, "F2");
}

// Typed entries are read before rows move, so they travel with their rows; a typed
// number uses the desktop's decimal comma where it has one.
TEST_F(EditorKeeping, TypedEntriesMoveWithTheirRowsOnAddAndDelete) {
    LensEditor editor(fiveRows(), settings, catalog, DecimalMarks::PointOrComma);
    editor.setText(2, EditorColumn::Radius, "-555");
    editor.setText(3, EditorColumn::Spacing, "-600,75");
    ASSERT_EQ(editor.addRowAfter(0), EditorVerdict::Accepted);
    EXPECT_EQ(editor.grid()[3].radius, "-555");
    ASSERT_EQ(editor.deleteRow(0), EditorVerdict::Accepted);
    EXPECT_EQ(editor.grid()[2].radius, "-555");
    SurfaceTable design{};
    ASSERT_EQ(editor.confirm(design), EditorVerdict::Accepted);
    EXPECT_EQ(design[2].radius, -555.0);
    EXPECT_EQ(design[3].z - design[4].z, -600.75);
}

// A cell that is no number refuses OK, add, delete and the focus buttons, says which
// cell it is, and leaves the design and the working table as they were.
TEST_F(EditorKeeping, AnUnreadableCellRefusesEveryButtonAndNamesTheCell) {
    const char* const typed[] = {"abc", "1e999", "nan", "12mm", "-1,5"};
    for (const char* text : typed) {
        LensEditor editor(fiveRows(), settings, catalog);
        editor.setText(1, EditorColumn::Radius, text);
        SurfaceTable design = fiveRows();
        EXPECT_EQ(editor.confirm(design), EditorVerdict::UnreadableNumber) << text;
        EXPECT_EQ(editor.refusal().row, 1);
        EXPECT_EQ(editor.refusal().column, EditorColumn::Radius);
        EXPECT_NE(editor.refusal().problem, NumberProblem::None);
        EXPECT_TRUE(samples::identicalTables(design, fiveRows())) << text;
        const EditorGrid shown = editor.grid();
        EXPECT_EQ(editor.addRowAfter(0), EditorVerdict::UnreadableNumber);
        EXPECT_EQ(editor.deleteRow(0), EditorVerdict::UnreadableNumber);
        EXPECT_EQ(editor.focusAt(WavelengthLine::d), EditorVerdict::UnreadableNumber);
        EXPECT_EQ(editor.grid(), shown);
    }
}

} // namespace
} // namespace kiro
