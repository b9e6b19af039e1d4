#include "model/glass_catalog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kiro {
namespace {

GlassCatalog loadText(const std::string& text) {
    GlassCatalog catalog;
    EXPECT_EQ(loadGlassCatalogText(catalog, text.data(), text.size()), 1);
    return catalog;
}

std::string glassLine(const std::string& name, double base) {
    std::string line = name;
    for (int k = 0; k < kIndexSlots; ++k) {
        line += " " + std::to_string(base + 0.001 * k);
    }
    return line + "\n";
}

TEST(GlassCatalogLoading, ShippedCatalogueStartsWithAirAndListsTheTelescopeGlasses) {
    GlassCatalog catalog;
    ASSERT_EQ(loadGlassCatalog(catalog, KIRO_SOURCE_DIR "/data/glass.dat"), 1);
    ASSERT_GE(glassCount(catalog), 22);
    EXPECT_STREQ(catalog.entries[0].name, "AIR");
    for (double n : catalog.entries[0].index) {
        EXPECT_EQ(n, 1.0);
    }
    for (const char* name :
         {"N-BK7",   "N-K5",    "N-BAK4", "N-SK16", "N-SSK8", "N-LAK9",  "F2",
          "N-F2",    "N-SF2",   "N-SF5",  "N-SF10", "N-SF11", "N-KZFS4", "S-FPL51",
          "S-FPL53", "S-FPL55", "S-BSL7", "FCD1",   "FCD100", "CAF2",    "SILICA"}) {
        const int k = findGlass(catalog, name);
        ASSERT_GT(k, 0) << name;
        const auto& n = catalog.entries[k].index;
        // Normal dispersion: the index rises from the red to the violet line.
        for (int s = 1; s < kIndexSlots; ++s) {
            EXPECT_GT(n[s], n[s - 1]) << name << " slot " << s;
        }
    }
    const auto& bk7 = catalog.entries[findGlass(catalog, "N-BK7")].index;
    EXPECT_NEAR(bk7[WavelengthLine::d], 1.5168, 1e-6);
    EXPECT_NEAR((bk7[WavelengthLine::d] - 1.0) / (bk7[WavelengthLine::F] - bk7[WavelengthLine::C]),
                64.17, 0.01);
}

TEST(GlassCatalogLoading, TrailingLineBreakAddsNoEntry) {
    const std::string text = glassLine("AIR", 1.0) + glassLine("A", 1.5) + glassLine("B", 1.6);
    EXPECT_EQ(glassCount(loadText(text)), 3);
    EXPECT_EQ(glassCount(loadText(text + "\r\n\n  \n")), 3);
    std::string noBreak = text;
    noBreak.pop_back();
    const GlassCatalog catalog = loadText(noBreak);
    EXPECT_EQ(glassCount(catalog), 3);
    EXPECT_EQ(catalog.entries[2].index[7], 1.607);
}

TEST(GlassCatalogLoading, OneGlassIsEntryZero) {
    const GlassCatalog catalog = loadText(glassLine("ONLY", 1.5));
    EXPECT_EQ(glassCount(catalog), 1);
    EXPECT_EQ(findGlass(catalog, "ONLY"), 0);
}

TEST(GlassCatalogLoading, OnlyTokenOrderMatters) {
    const GlassCatalog catalog =
        loadText("AIR 1 1 1 1\n1 1 1 1 G\t1.1 1.2 1.3 1.4 1.5 1.6 1.7 1.8");
    ASSERT_EQ(glassCount(catalog), 2);
    EXPECT_EQ(catalog.entries[1].index[0], 1.1);
    EXPECT_EQ(catalog.entries[1].index[7], 1.8);
}

TEST(GlassCatalogLoading, TrailingNameWithoutNumbersIsDropped) {
    EXPECT_EQ(glassCount(loadText(glassLine("AIR", 1.0) + "PARTIAL")), 1);
}

TEST(GlassCatalogLoading, BadNumbersKeepTheirPreviousValueAndAreSkipped) {
    const GlassCatalog catalog =
        loadText("G 1.1 x 1.3 1.4abc nan 1e999 1.7 1.8\nH 2 2 2 2 2 2 2 2\n");
    ASSERT_EQ(glassCount(catalog), 2);
    const auto& n = catalog.entries[0].index;
    EXPECT_EQ(n[0], 1.1);
    EXPECT_EQ(n[1], 0.0);
    EXPECT_EQ(n[2], 1.3);
    EXPECT_EQ(n[3], 1.4);
    EXPECT_EQ(n[4], 0.0);
    EXPECT_EQ(n[5], 0.0);
    EXPECT_EQ(n[6], 1.7);
    EXPECT_STREQ(catalog.entries[1].name, "H");
}

TEST(GlassCatalogLoading, MoreThan256GlassesAreCutAt256) {
    std::string text;
    for (int k = 0; k < 300; ++k) {
        text += glassLine("G" + std::to_string(k), 1.0 + k * 0.001);
    }
    const GlassCatalog catalog = loadText(text);
    EXPECT_EQ(glassCount(catalog), kMaxGlasses);
    EXPECT_STREQ(catalog.entries[255].name, "G255");
    EXPECT_EQ(findGlass(catalog, "G256"), -1);
}

TEST(GlassCatalogLoading, OverlongNameIsCutToSixtyThreeBytes) {
    const GlassCatalog catalog = loadText(glassLine(std::string(200, 'N'), 1.5));
    EXPECT_EQ(std::string(catalog.entries[0].name), std::string(63, 'N'));
    // A CP932 double-byte character that would straddle the cut is left out whole.
    const GlassCatalog cp932 = loadText(glassLine("x" + std::string(100, '\x83'), 1.5));
    EXPECT_EQ(std::strlen(cp932.entries[0].name), 63u);
    const GlassCatalog even = loadText(glassLine(std::string(100, '\x83'), 1.5));
    EXPECT_EQ(std::strlen(even.entries[0].name), 62u);
}

TEST(GlassCatalogLoading, HugeTokensAndBinaryBytesLoadWithoutHarm) {
    const GlassCatalog catalog = loadText(std::string(10u << 20, 'Z') + " 1 2 3 4 5 6 7 8\n");
    EXPECT_EQ(std::strlen(catalog.entries[0].name), 63u);
    EXPECT_EQ(catalog.entries[0].index[7], 8.0);
    const char raw[] = "\0\x01\xFF 1 2\0 3 4 5 6 7 8 \x80";
    const std::string binary(raw, sizeof raw - 1);
    EXPECT_EQ(glassCount(loadText(binary)), 0); // a name beginning with NUL is empty
}

TEST(GlassCatalogLoading, UnreadableFileKeepsTheCatalogue) {
    GlassCatalog catalog = loadText(glassLine("KEEP", 1.5));
    EXPECT_EQ(loadGlassCatalog(catalog, "/nonexistent/glass.dat"), 0);
    EXPECT_EQ(glassCount(catalog), 1);
    EXPECT_EQ(loadGlassCatalog(catalog, "/"), 0);
    EXPECT_STREQ(catalog.entries[0].name, "KEEP");
}

TEST(GlassCatalogLoading, EmptyFileKeepsTheCatalogue) {
    GlassCatalog catalog = loadText(glassLine("KEEP", 1.5));
    EXPECT_EQ(loadGlassCatalogText(catalog, "", 0), 1);
    EXPECT_STREQ(catalog.entries[0].name, "KEEP");
}

TEST(GlassCatalogLoading, EntriesAfterTheLastOneReadKeepTheirContents) {
    GlassCatalog catalog =
        loadText(glassLine("A", 1.1) + glassLine("B", 1.2) + glassLine("C", 1.3));
    loadGlassCatalogText(catalog, "X 2 2 2 2 2 2 2 2\n", 18);
    EXPECT_STREQ(catalog.entries[0].name, "X");
    EXPECT_STREQ(catalog.entries[1].name, ""); // the failed read of the next name clears it
    EXPECT_STREQ(catalog.entries[2].name, "C");
}

TEST(GlassCatalogLookup, DuplicateNamesFindTheLastEntry) {
    const GlassCatalog catalog = loadText(glassLine("AIR", 1.0) + glassLine("BK7", 1.5) +
                                          glassLine("F2", 1.6) + glassLine("BK7", 1.51));
    EXPECT_EQ(findGlass(catalog, "BK7"), 3);
    EXPECT_EQ(findGlass(catalog, "F2"), 2);
    EXPECT_EQ(findGlass(catalog, "bk7"), -1);
    EXPECT_EQ(findGlass(catalog, ""), -1);
    EXPECT_EQ(findGlass(catalog, nullptr), -1);
    EXPECT_EQ(findGlass(catalog, std::string(100, 'B').c_str()), -1);
}

class ApplyGlass : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog = loadText(glassLine("AIR", 1.0) + glassLine("A", 1.4) + glassLine("B", 1.5) +
                           glassLine("C", 1.6));
    }
    GlassCatalog catalog;
};

TEST_F(ApplyGlass, LensRowGetsTheEntrysEightIndicesAndName) {
    Surface row;
    row.type = SurfaceType::SphericalLens;
    applyGlass(row, catalog, 3);
    EXPECT_EQ(row.index, catalog.entries[3].index);
    EXPECT_STREQ(row.material, "C");
}

TEST_F(ApplyGlass, MirrorsStopsAndEntryZeroGetAir) {
    for (int32_t type : {SurfaceType::Stop, SurfaceType::FlatFocal, SurfaceType::SphericalMirror,
                         SurfaceType::AsphericMirror}) {
        Surface row;
        row.type = type;
        std::strcpy(row.material, "OLD");
        row.index.fill(1.7);
        applyGlass(row, catalog, 2);
        for (double n : row.index) {
            EXPECT_EQ(n, 1.0);
        }
        EXPECT_STREQ(row.material, "");
    }
    Surface lens;
    lens.type = SurfaceType::FlatLens;
    applyGlass(lens, catalog, 2);
    applyGlass(lens, catalog, 0);
    EXPECT_EQ(lens.index[2], 1.0);
    EXPECT_STREQ(lens.material, "");
}

TEST_F(ApplyGlass, PositionOutsideTheCatalogueGivesAir) {
    Surface row;
    row.type = SurfaceType::SphericalLens;
    for (int k : {-1, 4, 255, 256, 100000}) {
        applyGlass(row, catalog, k);
        EXPECT_EQ(row.index[2], 1.0) << k;
        EXPECT_STREQ(row.material, "");
    }
}

} // namespace
} // namespace kiro
