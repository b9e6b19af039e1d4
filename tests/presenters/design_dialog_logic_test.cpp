#include <cstring>

#include <gtest/gtest.h>

#include "design/reflector_builders.h"
#include "presenters/design_dialog_logic.h"
#include "tests/design/design_test_support.h"
#include "tests/support/german_numbers.h"

namespace kiro {
namespace {

ReflectorFields newtonianFields(const char* ratio, const char* back) {
    ReflectorFields fields;
    fields.type = ReflectorType::Newtonian;
    fields.aperture = "200";
    fields.fNumber = "5";
    fields.ratio = ratio;
    fields.backFocus = back;
    return fields;
}

LensSystem markedLens() {
    LensSystem lens;
    lens.surfaces = test::markerTable();
    std::strcpy(lens.description, "kept");
    lens.settings.sourceMode = SourceMode::Point;
    return lens;
}

TEST(ReflectorFieldsReading, RatioOfZeroOrLessBecomesOne) {
    EXPECT_EQ(readReflectorFields(newtonianFields("0", "")).ratio, 1.0);
    EXPECT_EQ(readReflectorFields(newtonianFields("-2", "")).ratio, 1.0);
    EXPECT_EQ(readReflectorFields(newtonianFields("abc", "")).ratio, 1.0);
    EXPECT_EQ(readReflectorFields(newtonianFields("1.5", "")).ratio, 1.5);
}

TEST(ReflectorFieldsReading, EmptyBackFocusIsTheApertureButZeroStaysZero) {
    EXPECT_EQ(readReflectorFields(newtonianFields("1", "")).backFocus, 200.0);
    EXPECT_EQ(readReflectorFields(newtonianFields("1", "0")).backFocus, 0.0);
    EXPECT_EQ(readReflectorFields(newtonianFields("1", "150")).backFocus, 150.0);
}

TEST(ReflectorFieldsReading, TextThatIsNotANumberReadsAsZeroAndOnly255CharactersCount) {
    EXPECT_EQ(readFieldNumber("x12"), 0.0);
    EXPECT_EQ(readFieldNumber("12mm"), 12.0);
    std::string longText(255, '0');
    longText += "7";
    EXPECT_EQ(readFieldNumber(longText.c_str()), 0.0);
}

TEST(ReflectorFieldsReading, DecimalPointWhateverTheLocale) {
    const test::GermanNumbers german;
    ASSERT_TRUE(german.active());
    EXPECT_EQ(readFieldNumber("1.5"), 1.5);
    EXPECT_EQ(readReflectorFields(newtonianFields("1", "150.25")).backFocus, 150.25);
}

TEST(ReflectorDialogOk, RefusedSizesAreRememberedCorrectedAndChangeNothing) {
    const GlassCatalog catalog = test::shippedCatalog();
    LensSystem lens = markedLens();
    ReflectorInputs kept;
    int referenceLine = 2;
    ReflectorFields fields = newtonianFields("-1", "");
    fields.aperture = "0";
    fields.line = WavelengthLine::F;
    const DesignResult r = confirmReflectorDialog(lens, kept, referenceLine, fields, catalog);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::UnusableSize);
    EXPECT_EQ(kept.aperture, 0.0);
    EXPECT_EQ(kept.ratio, 1.0);
    EXPECT_EQ(kept.backFocus, 0.0);
    EXPECT_EQ(kept.line, WavelengthLine::F);
    EXPECT_EQ(referenceLine, WavelengthLine::F);
    EXPECT_TRUE(test::sameTable(lens.surfaces, test::markerTable()));
    EXPECT_STREQ(lens.description, "kept");

    fields = newtonianFields("1", "");
    fields.fNumber = "-5";
    EXPECT_FALSE(confirmReflectorDialog(lens, kept, referenceLine, fields, catalog).ok);
    fields.fNumber = "nan";
    EXPECT_FALSE(confirmReflectorDialog(lens, kept, referenceLine, fields, catalog).ok);
    fields.fNumber = "1e400";
    EXPECT_FALSE(confirmReflectorDialog(lens, kept, referenceLine, fields, catalog).ok);
    EXPECT_TRUE(test::sameTable(lens.surfaces, test::markerTable()));
}

// No type chosen is refused with a message naming the type list; the design stays.
TEST(DesignerDialogOk, NoTypeChosenKeepsTheDesignAndSaysSo) {
    const GlassCatalog catalog = test::shippedCatalog();
    for (const ReflectorType type : {ReflectorType::None, reflectorTypeAt(kReflectorTypeCount)}) {
        LensSystem lens = markedLens();
        ReflectorInputs kept;
        int referenceLine = 2;
        ReflectorFields fields = newtonianFields("1", "");
        fields.type = type;
        const DesignResult r = confirmReflectorDialog(lens, kept, referenceLine, fields, catalog);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.failure, DesignFailure::TypeNotChosen);
        EXPECT_TRUE(test::sameTable(lens.surfaces, test::markerTable()));
        EXPECT_STREQ(lens.description, "kept");
    }
    for (const RefractorType type : {RefractorType::None, refractorTypeAt(5)}) {
        LensSystem lens = markedLens();
        RefractorInputs kept;
        int referenceLine = 2;
        RefractorFields fields;
        fields.type = type;
        fields.aperture = "100";
        fields.fNumber = "9";
        const DesignResult r = confirmRefractorDialog(lens, kept, referenceLine, fields, catalog);
        EXPECT_EQ(r.failure, DesignFailure::TypeNotChosen);
        EXPECT_TRUE(test::sameTable(lens.surfaces, test::markerTable()));
        EXPECT_STREQ(lens.description, "kept");
    }
}

TEST(ReflectorDialogOk, ABuildReplacesTheClearedDesign) {
    LensSystem lens = markedLens();
    ReflectorInputs kept;
    int referenceLine = 2;
    const DesignResult r = confirmReflectorDialog(lens, kept, referenceLine,
                                                  newtonianFields("1", ""), test::shippedCatalog());
    ASSERT_TRUE(r.ok);
    SurfaceTable expected{};
    buildNewtonian(expected, 200.0, 1000.0);
    EXPECT_TRUE(test::sameTable(lens.surfaces, expected));
    EXPECT_STREQ(lens.description, "");
    EXPECT_EQ(lens.settings.sourceMode, SourceMode::Infinity);
}

TEST(ReflectorDialogOk, FailedGlassCheckKeepsTheDesignAndSaysWhichGlass) {
    const GlassCatalog catalog = test::shippedCatalog();
    LensSystem lens = markedLens();
    ReflectorInputs kept;
    int referenceLine = 2;
    ReflectorFields fields = newtonianFields("1", "");
    fields.type = ReflectorType::SchmidtCamera;
    fields.glass = kNoGlass;
    DesignResult r = confirmReflectorDialog(lens, kept, referenceLine, fields, catalog);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::GlassNotChosen);
    EXPECT_EQ(r.details.control, GlassControl::Corrector);
    fields.glass = test::glassNamed(catalog, "AIR");
    r = confirmReflectorDialog(lens, kept, referenceLine, fields, catalog);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, DesignFailure::GlassIndexNotAboveOne);
    EXPECT_STREQ(r.details.glassName, "AIR");
    EXPECT_TRUE(test::sameTable(lens.surfaces, test::markerTable()));
    EXPECT_STREQ(lens.description, "kept");
    EXPECT_EQ(lens.settings.sourceMode, SourceMode::Point);
    EXPECT_EQ(kept.glass, fields.glass);
}

TEST(RefractorDialogOk, InputsAreRememberedAndAMissingGlassKeepsTheDesign) {
    LensSystem lens = markedLens();
    RefractorInputs kept;
    int referenceLine = 2;
    RefractorFields fields;
    fields.type = RefractorType::Doublet;
    fields.aperture = "100";
    fields.fNumber = "9";
    fields.thickness1 = "3";
    fields.thickness2 = "";
    fields.thickness3 = "-1";
    fields.glass1 = 1;
    fields.line = WavelengthLine::e;
    fields.chromaticMask = 18;
    fields.measureFlags = MeasureFlag::Chromatic;
    const DesignResult r =
        confirmRefractorDialog(lens, kept, referenceLine, fields, test::shippedCatalog());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.details.control, GlassControl::Glass2);
    EXPECT_TRUE(test::sameTable(lens.surfaces, test::markerTable()));
    EXPECT_EQ(kept.thickness1, 3.0);
    EXPECT_EQ(kept.thickness2, 0.0);
    EXPECT_EQ(kept.thickness3, -1.0);
    EXPECT_EQ(kept.chromaticMask, 18);
    EXPECT_EQ(kept.measureFlags, MeasureFlag::Chromatic);
    EXPECT_EQ(referenceLine, WavelengthLine::e);
}

TEST(DesignFollowUp, RefocusMovesTheFocalPlaneToTheMeanFocus) {
    LensSystem lens;
    lens.surfaces = test::sphericalMirror(200.0, 1000.0);
    lens.surfaces[1].z = 900.0;
    refocusAfterDesign(lens, WavelengthLine::d);
    const double R = 100.0 / 1.01;
    const double focus = meanFocus(lens.surfaces, lens.settings, R / 100.0, R, WavelengthLine::d);
    EXPECT_NEAR(lens.surfaces[1].z, focus, 1e-9);
    EXPECT_NEAR(lens.surfaces[1].z, 1000.0, 5.0);
}

} // namespace
} // namespace kiro
