#include "model/design_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "model/c_numbers.h"
#include "model/glass_catalog.h"
#include "model/text_bytes.h"
#include "tests/support/german_numbers.h"

namespace kiro {
namespace {

namespace fs = std::filesystem;

LensSystem readText(const std::string& text) {
    LensSystem lens;
    EXPECT_EQ(readDesignText(lens, text.data(), text.size()), 1);
    return lens;
}

std::string currentRow(const std::string& code, const std::string& numbers,
                       const std::string& material = "-") {
    return code + "\r\n" + numbers + "\r\n" + material + "\r\n";
}

// The value a "%lg" field holds after a save and load.
double sixDigits(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%lg", value);
    return std::strtod(text, nullptr);
}

Surface sampleRow(int i) {
    Surface s;
    s.type = i % 2 == 0 ? SurfaceType::SphericalLens : SurfaceType::AsphericMirror;
    s.x = 0.125 * i;
    s.y = -1.5 - i;
    s.z = sixDigits(-12.3456 * i);
    s.nx = 0.6;
    s.ny = -0.8;
    s.nz = sixDigits(1e-05 * i);
    s.radius = 1234.56 + i;
    s.a2 = -2.5e-09;
    s.a3 = 3.25e-15;
    s.a4 = -7e-21;
    s.effectiveRadius = 25.4 + i;
    for (int k = 0; k < kIndexSlots; ++k) {
        s.index[k] = sixDigits(1.5 + 0.001234 * k + 0.01 * i);
    }
    std::snprintf(s.material, sizeof s.material, "GLASS-%d", i);
    return s;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TempFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kiro-design-file-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    fs::path folder;
};

TEST(DesignFileWriter, EmptyDesignIsTheTwoHeaderLines) {
    LensSystem lens;
    clearLensSystem(lens);
    EXPECT_EQ(designFileText(lens), "ver100\r\n-\r\n");
}

TEST(DesignFileWriter, WritesTheExactBytesOfEachRow) {
    LensSystem lens;
    clearLensSystem(lens);
    std::strcpy(lens.description, "test");
    Surface& s = lens.surfaces[0];
    s.type = SurfaceType::SphericalLens;
    s.z = -12.5;
    s.radius = 1234.5678;
    s.a2 = 1e-07;
    s.effectiveRadius = 40;
    s.index = {1.516800, 1.5168, 2, 3, 4, 5, 6, 0.1};
    std::strcpy(s.material, "N-BK7");
    EXPECT_EQ(designFileText(lens), "ver100\r\ntest\r\n21\r\n0 0 -12.5\r\n0 0 1\r\n"
                                    "1234.57 1e-07 0 0\r\n40\r\n"
                                    "1.5168 1.5168 2 3 4 5 6 0.1 \r\n"
                                    "N-BK7\r\n");
}

TEST(DesignFileWriter, StopsAtTheFirstNegativeType) {
    LensSystem lens;
    clearLensSystem(lens);
    lens.surfaces[0].type = SurfaceType::FlatFocal;
    lens.surfaces[2].type = SurfaceType::FlatFocal; // after the end
    const std::string text = designFileText(lens);
    EXPECT_EQ(text, "ver100\r\n-\r\n" + currentRow("2", "0 0 0\r\n0 0 1\r\n0 0 0 0\r\n0\r\n"
                                                        "1 1 1 1 1 1 1 1 "));
}

TEST(DesignFileRoundTrip, EveryFieldOfAFullTableSurvives) {
    LensSystem lens;
    clearLensSystem(lens);
    std::strcpy(lens.description, "full-table");
    for (int i = 0; i < kSurfaceRows; ++i) {
        lens.surfaces[i] = sampleRow(i);
    }
    const std::string text = designFileText(lens);
    const LensSystem back = readText(text);
    EXPECT_STREQ(back.description, "full-table");
    EXPECT_EQ(surfaceCount(back.surfaces), kSurfaceRows);
    for (int i = 0; i < kSurfaceRows; ++i) {
        const Surface& a = lens.surfaces[i];
        const Surface& b = back.surfaces[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(b.type, a.type);
        EXPECT_EQ(b.x, a.x);
        EXPECT_EQ(b.y, a.y);
        EXPECT_EQ(b.z, a.z);
        EXPECT_EQ(b.nx, a.nx);
        EXPECT_EQ(b.ny, a.ny);
        EXPECT_EQ(b.nz, a.nz);
        EXPECT_EQ(b.radius, a.radius);
        EXPECT_EQ(b.a2, a.a2);
        EXPECT_EQ(b.a3, a.a3);
        EXPECT_EQ(b.a4, a.a4);
        EXPECT_EQ(b.effectiveRadius, a.effectiveRadius);
        EXPECT_EQ(b.index, a.index);
        EXPECT_STREQ(b.material, a.material);
    }
    EXPECT_EQ(designFileText(back), text);
}

TEST(DesignFileRoundTrip, ValuesKeepSixSignificantDigits) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int trial = 0; trial < 2000; ++trial) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        LensSystem lens;
        clearLensSystem(lens);
        lens.surfaces[0].type = SurfaceType::AsphericMirror;
        lens.surfaces[0].a3 = value;
        const LensSystem back = readText(designFileText(lens));
        char expected[64];
        std::snprintf(expected, sizeof expected, "%lg", value);
        ASSERT_EQ(back.surfaces[0].a3, std::strtod(expected, nullptr)) << "trial " << trial;
    }
}

// Under a locale with a decimal comma the C library reads "1.5" as 1 and prints "1,5";
// files, the catalogue and the number helpers keep the point.
TEST(DesignFileRoundTrip, DecimalPointsSurviveAGermanLocale) {
    const test::GermanNumbers german;
    ASSERT_TRUE(german.active());
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5"); // the locale really is in force

    LensSystem lens;
    lens.surfaces[0].type = SurfaceType::SphericalLens;
    lens.surfaces[0].z = -12.5;
    lens.surfaces[0].radius = 1.5e-3;
    const std::string text = designFileText(lens);
    EXPECT_NE(text.find("0 0 -12.5\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("0.0015 0 0 0\r\n"), std::string::npos) << text;
    const LensSystem back = readText(text);
    EXPECT_EQ(back.surfaces[0].z, -12.5);
    EXPECT_EQ(back.surfaces[0].radius, 1.5e-3);

    GlassCatalog catalog;
    const std::string glass = "N-BK7 1.5 1.51 1.52 1.53 1.54 1.55 1.56 1.57\n";
    ASSERT_EQ(loadGlassCatalogText(catalog, glass.data(), glass.size()), 1);
    EXPECT_EQ(catalog.entries[findGlass(catalog, "N-BK7")].index[1], 1.51);

    EXPECT_EQ(strtodC("2.25mm", nullptr), 2.25);
    EXPECT_EQ(strtodC("x", nullptr), 0.0);
    char buffer[32];
    snprintfC(buffer, sizeof buffer, "%lf %lg", 1.5, 0.25);
    EXPECT_STREQ(buffer, "1.500000 0.25");
}

TEST(DesignFileReader, HeaderOnlyIsAnEmptyDesign) {
    LensSystem lens;
    clearLensSystem(lens);
    lens.surfaces[0].type = SurfaceType::Stop;
    std::strcpy(lens.description, "old");
    const std::string text = "ver100\r\n-\r\n";
    EXPECT_EQ(readDesignText(lens, text.data(), text.size()), 1);
    EXPECT_EQ(surfaceCount(lens.surfaces), 0);
    EXPECT_STREQ(lens.description, "");
}

TEST(DesignFileReader, ResetsTheSourceToInfinityAndKeepsOtherSettings) {
    LensSystem lens;
    setDefaultSettings(lens);
    lens.settings.sourceMode = 1;
    lens.settings.rayCount = 5;
    const std::string text = "ver100\r\n-\r\n";
    readDesignText(lens, text.data(), text.size());
    EXPECT_EQ(lens.settings.sourceMode, 0);
    EXPECT_EQ(lens.settings.rayCount, 5);
}

TEST(DesignFileReader, LastRowEndingTheFileLeavesTheNextRowEnded) {
    LensSystem lens;
    clearLensSystem(lens);
    lens.surfaces[0] = sampleRow(0);
    lens.surfaces[1] = sampleRow(1);
    std::string text = designFileText(lens);
    const LensSystem back = readText(text);
    EXPECT_EQ(surfaceCount(back.surfaces), 2);
    text.resize(text.size() - 2); // no final line break
    EXPECT_EQ(surfaceCount(readText(text).surfaces), 2);
}

TEST(DesignFileReader, RowsAfterTheSixteenthAreIgnored) {
    LensSystem lens;
    clearLensSystem(lens);
    for (int i = 0; i < kSurfaceRows; ++i) {
        lens.surfaces[i] = sampleRow(i);
    }
    const std::string extra = currentRow("0", "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9");
    const LensSystem back = readText(designFileText(lens) + extra);
    EXPECT_EQ(surfaceCount(back.surfaces), kSurfaceRows);
    EXPECT_EQ(back.surfaces[15].z, lens.surfaces[15].z);
}

TEST(DesignFileReader, MissingFileLeavesTheDesignUntouched) {
    LensSystem lens;
    clearLensSystem(lens);
    lens.surfaces[0] = sampleRow(0);
    lens.settings.sourceMode = 1;
    EXPECT_EQ(readDesignFile(lens, "/nonexistent/folder/design.OPT"), 0);
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::SphericalLens);
    EXPECT_EQ(lens.settings.sourceMode, 1);
}

TEST(DesignFileReader, ReadsTheShippedExamples) {
    LensSystem lens;
    ASSERT_EQ(readDesignFile(lens, KIRO_SOURCE_DIR "/examples/newtonian-200-f5.OPT"), 1);
    ASSERT_EQ(surfaceCount(lens.surfaces), 5);
    EXPECT_EQ(lens.surfaces[2].type, SurfaceType::ParaboloidMirror);
    EXPECT_EQ(lens.surfaces[2].z, -1000.0);
    EXPECT_EQ(lens.surfaces[2].radius, 2000.0);
    EXPECT_EQ(apertureRadius(lens.surfaces), 100.0);
    ASSERT_EQ(readDesignFile(lens, KIRO_SOURCE_DIR "/examples/spherical-mirror-r200.OPT"), 1);
    ASSERT_EQ(surfaceCount(lens.surfaces), 2);
    EXPECT_EQ(lens.surfaces[0].radius, 200.0);
    EXPECT_EQ(lens.surfaces[1].z, 100.0);
}

TEST(DesignFileVersion, ArithmeticRunsOnCharacterCodes) {
    int version = 0;
    ASSERT_TRUE(designFileVersion("ver100", version));
    EXPECT_EQ(version, 100);
    ASSERT_TRUE(designFileVersion("ver099", version));
    EXPECT_EQ(version, 99);
    ASSERT_TRUE(designFileVersion("version", version));
    EXPECT_EQ(version, 100 * 's' + 10 * 'i' + 'o' - 5328);
    EXPECT_EQ(version, 7333);
    ASSERT_TRUE(designFileVersion("ver\xFF\xFF\xFF", version)); // signed char codes: -1
    EXPECT_EQ(version, -100 - 10 - 1 - 5328);
    EXPECT_FALSE(designFileVersion("ver10", version));
    EXPECT_FALSE(designFileVersion("VER100", version));
    EXPECT_FALSE(designFileVersion(std::string_view("ver\0"
                                                    "100",
                                                    7),
                                   version));
}

TEST(DesignFileVersion, Ver099SelectsTheMiddleLayout) {
    const LensSystem lens = readText("ver099\r\nd\r\n2\r\n1 2 3 4 5\r\n0 0 1 6 7\r\n"
                                     "1 2 3 4 5 6 7 8\r\nmat\r\n");
    EXPECT_STREQ(lens.description, "d");
    EXPECT_EQ(lens.surfaces[0].type, 2);
    EXPECT_EQ(lens.surfaces[0].radius, 4.0);
    EXPECT_EQ(lens.surfaces[0].a3, 7.0);
    EXPECT_EQ(lens.surfaces[0].index[7], 8.0);
}

TEST(DesignFileVersion, Ver039IsTheDescriptionOfAnOldestLayoutFile) {
    const LensSystem lens =
        readText("ver039\r\n2\r\n1 2 3 4 5\r\n0 0 1 6 7\r\n1.1 1.2 1.3 1.4\r\n-\r\n");
    EXPECT_STREQ(lens.description, "ver039");
    EXPECT_EQ(lens.surfaces[0].type, 2);
    EXPECT_EQ(lens.surfaces[0].index[2], 1.2);
}

TEST(DesignFileVersion, VersionIsACurrentLayoutTag) {
    const LensSystem lens = readText("version\r\nnext\r\n" +
                                     currentRow("2", "0 0 -5 0 0 1 0 0 0 0 10 1 1 1 1 1 1 1 1"));
    EXPECT_STREQ(lens.description, "next");
    EXPECT_EQ(lens.surfaces[0].z, -5.0);
}

TEST(DesignFileVersion, VerWithFewerThanThreeCharactersHasNoVersion) {
    const LensSystem lens = readText("ver1 2 1 2 3 4 5 0 0 1 6 7 1 1 1 1 x");
    EXPECT_STREQ(lens.description, "ver1");
    EXPECT_EQ(lens.surfaces[0].type, 2);
    EXPECT_EQ(lens.surfaces[0].effectiveRadius, 5.0);
}

TEST(DesignFileMiddleLayout, LensRecordGivesTwoRowsWithNegatedRadii) {
    const LensSystem lens = readText("ver099\r\n-\r\n21\r\n1 2 -5 -600 50\r\n3 4 -15 250 45\r\n"
                                     "1.1 1.2 1.3 1.4 1.5 1.6 1.7 1.8\r\nBK7\r\n");
    ASSERT_EQ(surfaceCount(lens.surfaces), 2);
    const Surface& front = lens.surfaces[0];
    const Surface& back = lens.surfaces[1];
    EXPECT_EQ(front.type, SurfaceType::SphericalLens);
    EXPECT_EQ(back.type, SurfaceType::SphericalLens);
    EXPECT_EQ(front.x, 1.0);
    EXPECT_EQ(front.z, -5.0);
    EXPECT_EQ(front.radius, 600.0);
    EXPECT_EQ(front.effectiveRadius, 50.0);
    EXPECT_EQ(back.x, 3.0);
    EXPECT_EQ(back.radius, -250.0);
    EXPECT_EQ(back.effectiveRadius, 45.0);
    for (const Surface* s : {&front, &back}) {
        EXPECT_EQ(s->nx, 0.0);
        EXPECT_EQ(s->ny, 0.0);
        EXPECT_EQ(s->nz, 0.0);
        EXPECT_EQ(s->a2, 0.0);
    }
    EXPECT_EQ(front.index[0], 1.1);
    EXPECT_EQ(front.index[7], 1.8);
    EXPECT_STREQ(front.material, "BK7");
    for (double n : back.index) {
        EXPECT_EQ(n, 1.0);
    }
    EXPECT_STREQ(back.material, "");
}

TEST(DesignFileMiddleLayout, PlanoAsphericRecordGivesAFlatAndAnAsphericRow) {
    const LensSystem lens =
        readText("ver099\r\n-\r\n22\r\n0 0 -40 0.0005 30\r\n"
                 "0 0 -45 -1e-07 28\r\n1.1 1.2 1.3 1.4 1.5 1.6 1.7 1.8\r\nBK7\r\n");
    ASSERT_EQ(surfaceCount(lens.surfaces), 2);
    const Surface& flat = lens.surfaces[0];
    const Surface& asphere = lens.surfaces[1];
    EXPECT_EQ(flat.type, SurfaceType::FlatLens);
    EXPECT_EQ(flat.z, -40.0);
    EXPECT_EQ(flat.effectiveRadius, 30.0);
    EXPECT_EQ(flat.nz, 1.0);
    EXPECT_EQ(flat.radius, 0.0);
    EXPECT_EQ(flat.index[3], 1.4);
    EXPECT_STREQ(flat.material, "BK7");
    EXPECT_EQ(asphere.type, SurfaceType::AsphericLens);
    EXPECT_EQ(asphere.z, -45.0);
    EXPECT_EQ(asphere.effectiveRadius, 28.0);
    EXPECT_EQ(asphere.radius, 0.0005); // not negated
    EXPECT_EQ(asphere.a2, -1e-07);
    EXPECT_EQ(asphere.nz, 0.0);
    EXPECT_EQ(asphere.index[3], 1.0);
    EXPECT_STREQ(asphere.material, "");
}

TEST(DesignFileMiddleLayout, OtherCodesOfTwentyOrMoreTakeARowAndReadNothing) {
    const LensSystem lens = readText("ver099\r\n-\r\n20\r\n2\r\n1 2 3 4 5\r\n0 0 1 6 7\r\n"
                                     "1 1 1 1 1 1 1 1\r\n-\r\n");
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::End);
    EXPECT_EQ(lens.surfaces[1].type, SurfaceType::FlatFocal);
    EXPECT_EQ(lens.surfaces[1].z, 3.0);
}

TEST(DesignFileMiddleLayout, GlassNameDashMeansNoName) {
    const LensSystem lens = readText("ver099\r\n-\r\n21\r\n0 0 0 1 1\r\n0 0 0 1 1\r\n"
                                     "1 1 1 1 1 1 1 1\r\n-\r\n");
    EXPECT_STREQ(lens.surfaces[0].material, "");
}

TEST(DesignFileMiddleLayout, ReadsTheLegacyTestFile) {
    LensSystem lens;
    ASSERT_EQ(readDesignFile(lens, KIRO_SOURCE_DIR "/tests/data/legacy-ver099.OPT"), 1);
    EXPECT_STREQ(lens.description, "old-doublet");
    ASSERT_EQ(surfaceCount(lens.surfaces), 8);
    EXPECT_EQ(lens.surfaces[1].radius, 600.0);
    EXPECT_EQ(lens.surfaces[4].radius, -1200.0);
    EXPECT_EQ(lens.surfaces[5].type, SurfaceType::FlatLens);
    EXPECT_EQ(lens.surfaces[6].type, SurfaceType::AsphericLens);
    EXPECT_EQ(lens.surfaces[7].z, -900.0);
}

TEST(DesignFileOldestLayout, SingleRowTakesFourIndexValues) {
    const LensSystem lens = readText("desc 0 1 2 3 4 5 0 0 1 6 7 1.1 1.2 1.3 1.4 mat\r\n");
    const Surface& s = lens.surfaces[0];
    EXPECT_STREQ(lens.description, "desc");
    EXPECT_EQ(s.type, SurfaceType::Stop);
    EXPECT_EQ(s.effectiveRadius, 5.0);
    EXPECT_EQ(s.a3, 7.0);
    const std::array<double, kIndexSlots> expected{1.0, 1.1, 1.2, 1.0, 1.3, 1.4, 1.0, 1.0};
    EXPECT_EQ(s.index, expected);
    EXPECT_STREQ(s.material, "");
}

TEST(DesignFileOldestLayout, LensRecordFillsTheMissingLines) {
    const LensSystem lens = readText("old\r\n21\r\n0 0 0 -500 40\r\n0 0 -8 300 40\r\n"
                                     "1.5 1.52 1.53 1.54\r\nBK7\r\n");
    const Surface& front = lens.surfaces[0];
    EXPECT_EQ(front.index[0], 1.5);
    EXPECT_EQ(front.index[1], 1.5);
    EXPECT_EQ(front.index[2], 1.52);
    EXPECT_DOUBLE_EQ(front.index[3], 1.525);
    EXPECT_EQ(front.index[4], 1.53);
    EXPECT_EQ(front.index[5], 1.54);
    EXPECT_EQ(front.index[6], 1.54);
    EXPECT_EQ(front.index[7], 1.54);
    EXPECT_EQ(front.radius, 500.0);
    EXPECT_EQ(lens.surfaces[1].radius, -300.0);
    EXPECT_STREQ(front.material, "BK7");
}

TEST(DesignFileOldestLayout, PlanoAsphericCodeIsUnknownThere) {
    const LensSystem lens = readText("old 22 2 1 2 3 4 5 0 0 1 6 7 1 1 1 1 -");
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::End);
    EXPECT_EQ(lens.surfaces[1].type, SurfaceType::FlatFocal);
}

TEST(DesignFileOldestLayout, NegativeCodeIsOneRowWithItsFieldsRead) {
    const LensSystem lens =
        readText("old -3 1 2 3 4 5 0 0 1 6 7 1 1 1 1 - 2 0 0 9 0 0 0 0 1 0 0 1 1 1 1 -");
    EXPECT_EQ(lens.surfaces[0].type, -3);
    EXPECT_EQ(lens.surfaces[0].z, 3.0);
    EXPECT_EQ(lens.surfaces[1].type, SurfaceType::FlatFocal);
    EXPECT_EQ(lens.surfaces[1].z, 9.0);
}

TEST(DesignFileOldestLayout, ReadsTheLegacyTestFile) {
    LensSystem lens;
    ASSERT_EQ(readDesignFile(lens, KIRO_SOURCE_DIR "/tests/data/legacy-oldest.OPT"), 1);
    EXPECT_STREQ(lens.description, "old-lens");
    ASSERT_EQ(surfaceCount(lens.surfaces), 3);
    EXPECT_EQ(lens.surfaces[0].index[3], (1.5168 + 1.52238) * 0.5);
    EXPECT_EQ(lens.surfaces[2].type, SurfaceType::FlatFocal);
}

TEST(DesignFileMends, DescriptionWithBlanksSurvivesSaveAndLoad) {
    LensSystem lens;
    clearLensSystem(lens);
    std::strcpy(lens.description, "200mm f/5 ニュートン  reflector");
    lens.surfaces[0].type = SurfaceType::FlatFocal;
    const LensSystem back = readText(designFileText(lens));
    EXPECT_STREQ(back.description, "200mm f/5 ニュートン  reflector");
    EXPECT_EQ(back.surfaces[0].type, SurfaceType::FlatFocal);
}

TEST(DesignFileMends, DescriptionIsTheRestOfItsLineTrimmed) {
    EXPECT_STREQ(readText("ver100\r\n   a b\tc  \t\r\n").description, "a b\tc");
    EXPECT_STREQ(readText("ver100\r\n\r\n  - \r\n").description, "");
    EXPECT_STREQ(readText("ver100 on the tag line\n").description, "on the tag line");
    EXPECT_STREQ(readText("ver099\r\nold one\r\n").description, "old one");
    // The oldest layout keeps its first token only.
    EXPECT_STREQ(readText("first second\r\n").description, "first");
}

TEST(DesignFileMends, DescriptionLineEndsAtALoneCarriageReturn) {
    const LensSystem lens = readText("ver100\rtwo words\r11\r0 0 0\r0 0 1\r200 0 0 0\r50\r"
                                     "1 1 1 1 1 1 1 1 \r-\r");
    EXPECT_STREQ(lens.description, "two words");
    ASSERT_EQ(surfaceCount(lens.surfaces), 1);
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::SphericalMirror);
    EXPECT_EQ(lens.surfaces[0].radius, 200.0);
    EXPECT_EQ(lens.surfaces[0].effectiveRadius, 50.0);
}

TEST(DesignFileMends, LineBreaksAndEdgeBlanksInADescriptionAreNotWritten) {
    LensSystem lens;
    clearLensSystem(lens);
    std::strcpy(lens.description, " two\r\nlines\n ");
    EXPECT_EQ(designFileText(lens), "ver100\r\ntwo  lines\r\n");
    std::strcpy(lens.description, " \r\n ");
    EXPECT_EQ(designFileText(lens), "ver100\r\n-\r\n");
    lens.surfaces[0].type = SurfaceType::FlatFocal;
    EXPECT_EQ(readText(designFileText(lens)).surfaces[0].type, SurfaceType::FlatFocal);
}

TEST(DesignFileMends, MaterialWithASeparatorKeepsTheTokenOrder) {
    LensSystem lens;
    clearLensSystem(lens);
    lens.surfaces[0].type = SurfaceType::SphericalLens;
    std::strcpy(lens.surfaces[0].material, "two words");
    lens.surfaces[1].type = SurfaceType::FlatFocal;
    const LensSystem back = readText(designFileText(lens));
    EXPECT_STREQ(back.surfaces[0].material, "two_words");
    EXPECT_EQ(back.surfaces[1].type, SurfaceType::FlatFocal);
}

TEST(DesignFileMends, LongDescriptionIsCutWithoutSplittingACp932Character) {
    const std::string cp932(600, '\x8B'); // lead bytes pair up: 300 double-byte characters
    const LensSystem a = readText("ver100\r\n" + cp932 + "\r\n");
    EXPECT_EQ(std::strlen(a.description), 510u);
    const LensSystem b = readText("ver100\r\nx" + cp932 + "\r\n");
    EXPECT_EQ(std::strlen(b.description), 511u);
    const LensSystem c = readText(std::string(700, 'd'));
    EXPECT_EQ(std::strlen(c.description), 511u);
}

TEST(DesignFileMends, LongMaterialIsCutToSixtyThreeBytes) {
    const std::string name(100, 'G');
    const LensSystem lens = readText(
        "ver100\r\n-\r\n" + currentRow("21", "0 0 0 0 0 1 0 0 0 0 1 1 1 1 1 1 1 1 1", name));
    EXPECT_EQ(std::string(lens.surfaces[0].material), name.substr(0, 63));
    const std::string cp932 = "M" + std::string(80, '\x96');
    const LensSystem odd =
        readText("ver099\r\n-\r\n21 0 0 0 1 1 0 0 0 1 1 1 1 1 1 1 1 1 1 " + cp932);
    EXPECT_EQ(std::strlen(odd.surfaces[0].material), 63u);
}

TEST(DesignFileMends, TwoRowRecordAtTheLastRowEndsTheReading) {
    std::string text = "ver099\r\n-\r\n";
    for (int i = 0; i < 15; ++i) {
        text += "2 0 0 " + std::to_string(i) + " 0 1 0 0 1 0 0 1 1 1 1 1 1 1 1 -\r\n";
    }
    text +=
        "21 0 0 0 1 1 0 0 0 1 1 1 1 1 1 1 1 1 1 G\r\n2 0 0 0 0 1 0 0 1 0 0 1 1 1 1 1 1 1 1 -\r\n";
    const LensSystem lens = readText(text);
    EXPECT_EQ(surfaceCount(lens.surfaces), 15);
    EXPECT_EQ(lens.surfaces[15].type, SurfaceType::End);
    EXPECT_STREQ(lens.surfaces[15].material, "");
}

TEST(DesignFileMends, NumberWithTrailingGarbageReadsItsPrefix) {
    const LensSystem lens = readText(
        "ver100\r\n-\r\n" + currentRow("21x", "1.5abc 2 -3e1z 0 0 1 0 0 0 0 +4 1 1 1 1 1 1 1 1"));
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::SphericalLens);
    EXPECT_EQ(lens.surfaces[0].x, 1.5);
    EXPECT_EQ(lens.surfaces[0].z, -30.0);
    EXPECT_EQ(lens.surfaces[0].effectiveRadius, 4.0);
}

TEST(DesignFileMends, NonNumberLeavesTheFieldClearedAndIsConsumed) {
    const LensSystem lens = readText(
        "ver100\r\n-\r\n" + currentRow("2", "abc 7 nan 0 0 inf 1e999 0 0 0 5 1 1 1 1 1 1 1 1"));
    const Surface& s = lens.surfaces[0];
    EXPECT_EQ(s.x, 0.0);
    EXPECT_EQ(s.y, 7.0);
    EXPECT_EQ(s.z, 0.0);
    EXPECT_EQ(s.nz, 1.0);
    EXPECT_EQ(s.radius, 0.0);
    EXPECT_EQ(s.effectiveRadius, 5.0);
    EXPECT_EQ(readText("ver100\n-\n2 0 0 1e-999").surfaces[0].z, 0.0);
}

TEST(DesignFileMends, TypeCodeThatIsNoNumberLeavesTheRowEndedButReadsItsFields) {
    const LensSystem lens = readText(
        "ver100\r\n-\r\n" + currentRow("mirror", "0 0 -7 0 0 1 0 0 0 0 5 1 1 1 1 1 1 1 1") +
        currentRow("2", "0 0 -9 0 0 1 0 0 0 0 5 1 1 1 1 1 1 1 1"));
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::End);
    EXPECT_EQ(lens.surfaces[0].z, -7.0);
    EXPECT_EQ(lens.surfaces[1].type, SurfaceType::FlatFocal);
    EXPECT_EQ(lens.surfaces[1].z, -9.0);
}

TEST(DesignFileMends, HugeTypeCodeSaturatesLikeStrtol) {
    const LensSystem lens =
        readText("ver099\n-\n99999999999999 2 1 2 3 4 5 0 0 1 6 7 1 1 1 1 1 1 1 1 -");
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::End);
    EXPECT_EQ(lens.surfaces[1].type, SurfaceType::FlatFocal);
    EXPECT_EQ(readText("ver100\n-\n-99999999999999 ").surfaces[0].type, INT32_MIN);
}

TEST(DesignFileMends, AnyBytesReadWithoutHarm) {
    std::string huge = "ver100\r\n-\r\n2\r\n";
    huge += std::string(10u << 20, '7');
    huge += " 1 2\r\n";
    const LensSystem a = readText(huge);
    EXPECT_EQ(a.surfaces[0].type, SurfaceType::FlatFocal);
    EXPECT_EQ(a.surfaces[0].y, 1.0);
    const LensSystem b = readText(std::string(10u << 20, 'x'));
    EXPECT_EQ(std::strlen(b.description), 511u);
    const char raw[] = "ver100\0\r\nde\0sc\r\n2\0 1\0 2\0";
    const std::string nul(raw, sizeof raw - 1);
    const LensSystem c = readText(nul);
    EXPECT_STREQ(c.description, "de");
    EXPECT_EQ(c.surfaces[0].type, SurfaceType::FlatFocal);
    EXPECT_EQ(c.surfaces[0].x, 1.0);
}

TEST(DesignFileMends, NoBytesAtAllIsAnEmptyDesign) {
    LensSystem lens;
    clearLensSystem(lens);
    std::strcpy(lens.description, "old");
    lens.surfaces[0].type = SurfaceType::Stop;
    EXPECT_EQ(readDesignText(lens, nullptr, 0), 1);
    EXPECT_EQ(surfaceCount(lens.surfaces), 0);
    EXPECT_STREQ(lens.description, "");
}

TEST(DesignFileMends, EveryTruncationOfAFileReads) {
    LensSystem lens;
    clearLensSystem(lens);
    for (int i = 0; i < 4; ++i) {
        lens.surfaces[i] = sampleRow(i);
    }
    const std::string text = designFileText(lens);
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        const LensSystem back = readText(text.substr(0, cut));
        ASSERT_LE(surfaceCount(back.surfaces), 4) << "cut " << cut;
    }
}

TEST_F(TempFolder, WriteThenReadAFile) {
    LensSystem lens;
    clearLensSystem(lens);
    lens.surfaces[0] = sampleRow(3);
    const fs::path path = folder / "design.OPT";
    ASSERT_EQ(writeDesignFile(lens, path.c_str()), 1);
    EXPECT_EQ(fileBytes(path), designFileText(lens));
    LensSystem back;
    ASSERT_EQ(readDesignFile(back, path.c_str()), 1);
    EXPECT_EQ(back.surfaces[0].radius, lens.surfaces[0].radius);
}

TEST_F(TempFolder, OverwriteLeavesNoTemporaryFileAndKeepsPermissions) {
    const fs::path path = folder / "design.OPT";
    std::ofstream(path) << "old";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    LensSystem lens;
    clearLensSystem(lens);
    ASSERT_EQ(writeDesignFile(lens, path.c_str()), 1);
    EXPECT_EQ(fileBytes(path), "ver100\r\n-\r\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(TempFolder, WritingThroughALinkKeepsTheLink) {
    const fs::path real = folder / "real.OPT";
    const fs::path link = folder / "link.OPT";
    std::ofstream(real) << "old";
    fs::create_symlink(real, link);
    LensSystem lens;
    clearLensSystem(lens);
    ASSERT_EQ(writeDesignFile(lens, link.c_str()), 1);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fileBytes(real), "ver100\r\n-\r\n");
}

TEST_F(TempFolder, FailedWriteReturnsZeroAndLeavesTheTargetUntouched) {
    LensSystem lens;
    clearLensSystem(lens);
    const fs::path sub = folder / "sub";
    fs::create_directory(sub);
    std::ofstream(sub / "inside") << "keep";
    EXPECT_EQ(writeDesignFile(lens, sub.c_str()), 0); // a folder is no design file
    EXPECT_EQ(fileBytes(sub / "inside"), "keep");
    EXPECT_EQ(writeDesignFile(lens, (folder / "missing" / "x.OPT").c_str()), 0);
    EXPECT_EQ(writeDesignFile(lens, ""), 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

} // namespace
} // namespace kiro
