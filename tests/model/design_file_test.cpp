#include "model/design_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/c_numbers.h"
#include "model/glass_catalog.h"
#include "model/text_bytes.h"
#include "tests/design/sample_designs.h"
#include "tests/support/example_designs.h"
#include "tests/support/german_numbers.h"

namespace kiro {
namespace {

namespace fs = std::filesystem;

LensSystem readText(const std::string& text) {
    LensSystem lens;
    const DesignReadResult result = readDesignBytes(lens, text.data(), text.size());
    EXPECT_TRUE(result.accepted()) << static_cast<int>(result.status);
    return lens;
}

DesignReadResult readStatus(const std::string& text) {
    LensSystem lens;
    return readDesignBytes(lens, text.data(), text.size());
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every field a file holds, bit for bit (a -0 is not a 0).
void expectIdenticalDesigns(const LensSystem& a, const LensSystem& b) {
    EXPECT_STREQ(a.description, b.description);
    for (int i = 0; i < kSurfaceRows; ++i) {
        const Surface& p = a.surfaces[i];
        const Surface& q = b.surfaces[i];
        ASSERT_EQ(p.type, q.type) << "row " << i;
        if (p.type < 0) {
            return;
        }
        const double ps[] = {
            p.x, p.y, p.z, p.nx, p.ny, p.nz, p.radius, p.a2, p.a3, p.a4, p.effectiveRadius};
        const double qs[] = {
            q.x, q.y, q.z, q.nx, q.ny, q.nz, q.radius, q.a2, q.a3, q.a4, q.effectiveRadius};
        for (size_t k = 0; k < std::size(ps); ++k) {
            ASSERT_TRUE(sameBits(ps[k], qs[k])) << "row " << i << " field " << k << ": " << ps[k];
        }
        for (int k = 0; k < kIndexSlots; ++k) {
            ASSERT_TRUE(sameBits(p.index[k], q.index[k])) << "row " << i << " index " << k;
        }
        EXPECT_STREQ(p.material, q.material);
    }
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
                                    "1234.5678 1e-07 0 0\r\n40\r\n"
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

// A value "%lg" wrote keeps those bytes; any other value is written with the fewest
// further digits that give it back bit for bit.
TEST(DesignFileRoundTrip, ValuesKeepEveryBitAndSixDigitValuesTheirBytes) {
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    for (int trial = 0; trial < 4000; ++trial) {
        const double exact = mantissa(random) * std::pow(10.0, exponent(random));
        char printed[64];
        std::snprintf(printed, sizeof printed, "%lg", exact);
        const double sixDigit = std::strtod(printed, nullptr);
        LensSystem lens;
        clearLensSystem(lens);
        lens.surfaces[0].type = SurfaceType::AsphericMirror;
        lens.surfaces[0].a3 = exact;
        lens.surfaces[0].a4 = sixDigit;
        const std::string text = designFileText(lens);
        ASSERT_NE(text.find(" " + std::string(printed) + "\r\n"), std::string::npos) << text;
        const LensSystem back = readText(text);
        ASSERT_TRUE(sameBits(back.surfaces[0].a3, exact)) << "trial " << trial << ": " << text;
        ASSERT_TRUE(sameBits(back.surfaces[0].a4, sixDigit)) << "trial " << trial;
    }
}

// Random valid designs of every row type and odd values (-0, subnormal, huge, tiny)
// come back from a save bit for bit, and saving them again changes no byte.
TEST(DesignFileRoundTrip, RandomDesignsSurviveSaveAndOpenBitForBit) {
    std::mt19937_64 random(0x6b69726f);
    const int32_t types[] = {0, 1, 2, 3, 10, 11, 12, 13, 20, 21, 22};
    const double odd[] = {-0.0,
                          0.0,
                          5e-324,
                          1e-320,
                          2.2250738585072014e-308,
                          1e300,
                          -1.7976931348623157e308,
                          0.1,
                          1.0 / 3.0,
                          1234.5678,
                          900.00113};
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 12);
    const auto value = [&] {
        if (random() % 8 == 0) {
            return odd[random() % std::size(odd)];
        }
        return unit(random) * std::pow(10.0, exponent(random));
    };
    for (int trial = 0; trial < 3000; ++trial) {
        LensSystem lens;
        clearLensSystem(lens);
        snprintfC(lens.description, sizeof lens.description, "design %d", trial);
        const int rows = static_cast<int>(random() % (kSurfaceRows + 1));
        for (int i = 0; i < rows; ++i) {
            Surface& s = lens.surfaces[i];
            s.type = types[random() % std::size(types)];
            for (double* field : {&s.x, &s.y, &s.z, &s.nx, &s.ny, &s.nz, &s.radius, &s.a2, &s.a3,
                                  &s.a4, &s.effectiveRadius}) {
                *field = value();
            }
            for (double& n : s.index) {
                n = 1.0 + std::abs(unit(random));
            }
            if (random() % 2 == 0) {
                snprintfC(s.material, sizeof s.material, "G%d", static_cast<int>(random() % 99));
            }
        }
        const std::string text = designFileText(lens);
        LensSystem back;
        ASSERT_EQ(readDesignBytes(back, text.data(), text.size()).status, DesignReadStatus::Read);
        expectIdenticalDesigns(back, lens);
        ASSERT_EQ(designFileText(back), text) << "trial " << trial;
    }
}

// The designs the merit and optimizer tests build in code.
TEST(DesignFileRoundTrip, CaseDesignsOfTheTestsSurviveSaveAndOpenBitForBit) {
    for (const LensSystem& lens :
         {samples::sphericalMirror(), samples::paraboloidMirror(), samples::achromaticDoublet(),
          samples::airSpacedTriplet(), samples::doubletWithRelay(), samples::correctedMirror()}) {
        const std::string text = designFileText(lens);
        LensSystem back;
        ASSERT_EQ(readDesignBytes(back, text.data(), text.size()).status, DesignReadStatus::Read);
        expectIdenticalDesigns(back, lens);
        EXPECT_EQ(designFileText(back), text);
    }
}

// Open then Save of a stored file changes no byte; a file of an older layout is saved
// as its ".converted.OPT" twin.
TEST(DesignFileRoundTrip, OpenThenSaveOfEveryStoredFileKeepsItsBytes) {
    const std::vector<fs::path> files =
        test::designFilesIn({"examples", "examples/designed", "tests/data", "data"});
    ASSERT_GE(files.size(), 20u);
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        LensSystem lens;
        ASSERT_EQ(readDesign(lens, file.c_str()).status, DesignReadStatus::Read);
        fs::path twin = file;
        twin.replace_extension(".converted.OPT");
        const std::string stored = fileBytes(fs::exists(twin) ? twin : file);
        // A file written by hand (LF line ends, "1e300") cannot keep its bytes; what it
        // is saved as must.
        const std::string expected =
            stored.find('\r') == std::string::npos ? designFileText(lens) : stored;
        EXPECT_EQ(designFileText(lens), expected);
        LensSystem again;
        ASSERT_EQ(readDesignBytes(again, expected.data(), expected.size()).status,
                  DesignReadStatus::Read);
        expectIdenticalDesigns(again, lens);
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
    lens.settings.sourceMode = SourceMode::Point;
    lens.settings.rayCount = 5;
    const std::string text = "ver100\r\n-\r\n";
    readDesignText(lens, text.data(), text.size());
    EXPECT_EQ(lens.settings.sourceMode, SourceMode::Infinity);
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
    lens.settings.sourceMode = SourceMode::Point;
    EXPECT_EQ(readDesignFile(lens, "/nonexistent/folder/design.OPT"), 0);
    const DesignReadResult result = readDesign(lens, "/nonexistent/folder/design.OPT");
    EXPECT_EQ(result.status, DesignReadStatus::CannotOpen);
    EXPECT_EQ(result.systemError, ENOENT);
    EXPECT_EQ(readDesign(lens, "/").systemError, EISDIR);
    EXPECT_EQ(lens.surfaces[0].type, SurfaceType::SphericalLens);
    EXPECT_EQ(lens.settings.sourceMode, SourceMode::Point);
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
    const LensSystem c = readText(std::string(700, 'd') + " 2 0 0 0 0 1 0 0 1 0 0 1 1 1 1 -");
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
    const LensSystem lens =
        readText("ver100\r\n-\r\n" + currentRow("2", "abc 7 - 0 0 x 0 0 0 0 5 1 1 1 1 1 1 1 1"));
    const Surface& s = lens.surfaces[0];
    EXPECT_EQ(s.x, 0.0);
    EXPECT_EQ(s.y, 7.0);
    EXPECT_EQ(s.z, 0.0);
    EXPECT_EQ(s.nz, 1.0);
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
    huge += std::string(10u << 20, '7'); // beyond the largest double
    huge += " 1 2\r\n";
    const DesignReadResult a = readStatus(huge);
    EXPECT_EQ(a.status, DesignReadStatus::NonFiniteNumber);
    EXPECT_EQ(a.line, 4);
    std::string long0 = "ver100\r\n-\r\n2\r\n0.";
    long0 += std::string(10u << 20, '0');
    long0 += "1 1 2\r\n";
    const LensSystem b = readText(long0);
    EXPECT_EQ(b.surfaces[0].type, SurfaceType::FlatFocal);
    EXPECT_EQ(b.surfaces[0].x, 0.0); // underflows
    EXPECT_EQ(b.surfaces[0].y, 1.0);
    EXPECT_EQ(readStatus(std::string(10u << 20, 'x')).notADesign, NotADesignReason::NoLayout);
}

struct Refusal {
    const char* name;
    std::string bytes;
    DesignReadStatus status;
    NotADesignReason reason;
    int line;
};

// What is not a design, or holds a number no computation can use, is refused with its
// reason and line, and the design in hand stays exactly as it was.
TEST(DesignFileRefusal, EachReasonIsNamedAndTheDesignKept) {
    const std::string row2 = "0 0 0\r\n0 0 1\r\n0 0 0 0\r\n5\r\n1 1 1 1 1 1 1 1 \r\n-\r\n";
    const auto nonFinite = [](const char* name, std::string bytes, int line) {
        return Refusal{name, std::move(bytes), DesignReadStatus::NonFiniteNumber,
                       NotADesignReason::None, line};
    };
    const auto notADesign = [](const char* name, std::string bytes, NotADesignReason reason) {
        return Refusal{name, std::move(bytes), DesignReadStatus::NotADesign, reason, 0};
    };
    const std::vector<Refusal> table = {
        notADesign("empty file", "", NotADesignReason::NoLayout),
        notADesign("blanks only", " \r\n\t\r\n", NotADesignReason::NoLayout),
        notADesign("a text", "Dear reader,\nthis is a letter of 2 lines.\n",
                   NotADesignReason::NoLayout),
        notADesign("two words", "first second\r\n", NotADesignReason::NoLayout),
        notADesign("a word and a partial row", "old 2 1 2 3", NotADesignReason::NoLayout),
        notADesign("ver039 is no version line", "ver039\r\n", NotADesignReason::NoLayout),
        notADesign("NUL in a design", std::string("ver100\r\nde\0sc\r\n", 15),
                   NotADesignReason::BinaryContent),
        notADesign("NUL at the end", "ver100\r\n-\r\n2\r\n" + row2 + std::string(1, '\0'),
                   NotADesignReason::BinaryContent),
        notADesign("binary header", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16),
                   NotADesignReason::BinaryContent),
        nonFinite("inf radius", "ver100\r\n-\r\n11\r\n0 0 0\r\n0 0 1\r\ninf 0 0 0\r\n", 6),
        nonFinite("nan index",
                  "ver100\r\n-\r\n2\r\n" + row2 +
                      "2\r\n0 0 0\r\n0 0 1\r\n0 0 0 0\r\n"
                      "5\r\n1 1 -nan 1 1 1 1 1 \r\n-\r\n",
                  15),
        nonFinite("overflow", "ver100\r\n-\r\n2\r\n0 0 1e999\r\n", 4),
        nonFinite("lone CR line ends", "ver100\r-\r2\r0 0 0\r0 0 1\r0 0 0 INF\r", 6),
        nonFinite("middle layout", "ver099\r\nd\r\n21\r\n1 2 -5 -600 50\r\n3 4 -15 1e400 45\r\n",
                  5),
        nonFinite("oldest layout",
                  "old 0 1 2 3 4 5 0 0 1 6 7 1.1 1.2 1.3 1.4 mat\n"
                  "0 1 2 3 4 5\n0 0 1 6 nan\n",
                  3),
    };
    for (const Refusal& refusal : table) {
        SCOPED_TRACE(refusal.name);
        LensSystem lens;
        clearLensSystem(lens);
        lens.surfaces[0] = sampleRow(1);
        std::strcpy(lens.description, "kept");
        lens.settings.sourceMode = SourceMode::Point;
        const std::string before = designFileText(lens);
        const DesignReadResult result =
            readDesignBytes(lens, refusal.bytes.data(), refusal.bytes.size());
        EXPECT_EQ(result.status, refusal.status);
        EXPECT_EQ(result.notADesign, refusal.reason);
        EXPECT_EQ(result.line, refusal.line);
        EXPECT_FALSE(result.accepted());
        EXPECT_EQ(designFileText(lens), before);
        EXPECT_EQ(lens.settings.sourceMode, SourceMode::Point);
        EXPECT_EQ(readDesignText(lens, refusal.bytes.data(), refusal.bytes.size()), 0);
    }
}

TEST(DesignFileRefusal, AnEmptySavedDesignIsRead) {
    for (const std::string text : {"ver100\r\n-\r\n", "ver100\n-", "ver099\r\n-\r\n"}) {
        EXPECT_EQ(readStatus(text).status, DesignReadStatus::Read) << text;
    }
}

// A design of a known layout cut anywhere still reads what it holds; it reads as whole
// exactly when the cut falls after a record's last token, and otherwise ends early at
// the cut's line. A cut before the version tag is complete leaves no design.
TEST(DesignFileRefusal, EveryCutOfAFileEndsEarlyUnlessItFallsBetweenRecords) {
    LensSystem lens;
    clearLensSystem(lens);
    for (int i = 0; i < 4; ++i) {
        lens.surfaces[i] = sampleRow(i);
    }
    const std::string text = designFileText(lens);
    constexpr int kHeaderTokens = 2;
    constexpr int kRowTokens = 21;
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string part = text.substr(0, cut);
        LensSystem back;
        const DesignReadResult result = readDesignBytes(back, part.data(), part.size());
        std::istringstream words(part);
        int tokens = 0;
        for (std::string word; words >> word;) {
            ++tokens;
        }
        if (cut < 6) {
            ASSERT_EQ(result.status, DesignReadStatus::NotADesign);
            continue;
        }
        ASSERT_LE(surfaceCount(back.surfaces), 4);
        const bool whole = tokens >= kHeaderTokens && (tokens - kHeaderTokens) % kRowTokens == 0;
        if (whole) {
            ASSERT_EQ(result.status, DesignReadStatus::Read);
            ASSERT_EQ(surfaceCount(back.surfaces), (tokens - kHeaderTokens) / kRowTokens);
        } else {
            ASSERT_EQ(result.status, DesignReadStatus::ReadEndsEarly);
            const size_t last = part.find_last_not_of(" \r\n");
            ASSERT_EQ(result.line, 1 + std::count(part.begin(), part.begin() + last, '\n'));
        }
    }
}

TEST(DesignFileRefusal, LegacyRecordsCutShortEndEarly) {
    const DesignReadResult middle = readStatus("ver099\r\n-\r\n21\r\n1 2 -5 -600 50\r\n3 4");
    EXPECT_EQ(middle.status, DesignReadStatus::ReadEndsEarly);
    EXPECT_EQ(middle.line, 5);
    const DesignReadResult oldest = readStatus("old 0 1 2 3 4 5 0 0 1 6 7 1.1 1.2 1.3 1.4 mat\n"
                                               "21\n0 0 0 -500 40\n");
    EXPECT_EQ(oldest.status, DesignReadStatus::ReadEndsEarly);
    EXPECT_EQ(oldest.line, 3);
    EXPECT_EQ(readStatus("ver100").status, DesignReadStatus::ReadEndsEarly);
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
    const DesignWriteResult result = writeDesign(lens, sub.c_str());
    EXPECT_EQ(result.status, DesignWriteStatus::CannotWrite);
    EXPECT_EQ(result.systemError, EISDIR);
}

// A value no file can hold is refused before anything is written, even over an old file.
TEST_F(TempFolder, NonFiniteValueIsNeverWritten) {
    const fs::path path = folder / "design.OPT";
    std::ofstream(path) << "old";
    for (const double bad :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        for (int field = 0; field < 3; ++field) {
            LensSystem lens;
            clearLensSystem(lens);
            lens.surfaces[0] = sampleRow(0);
            lens.surfaces[1] = sampleRow(1);
            double* target[] = {&lens.surfaces[1].radius, &lens.surfaces[0].effectiveRadius,
                                &lens.surfaces[1].index[7]};
            *target[field] = bad;
            EXPECT_FALSE(designNumbersFinite(lens));
            EXPECT_EQ(writeDesign(lens, path.c_str()).status, DesignWriteStatus::NonFiniteNumber);
            EXPECT_EQ(writeDesignFile(lens, path.c_str()), 0);
            // Rows after the end are never written, so they are no obstacle.
            lens.surfaces[1].type = SurfaceType::End;
            EXPECT_EQ(designNumbersFinite(lens), field != 1) << field;
        }
    }
    EXPECT_EQ(fileBytes(path), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

} // namespace
} // namespace kiro
