#include <cstring>

#include <gtest/gtest.h>

#include "design/design_result.h"
#include "design/designer_inputs.h"
#include "design/glass_choice.h"
#include "design_test_support.h"

namespace kiro {
namespace {

// The failures carry a code and its details for the desktop program and kiro-cli to word.
TEST(GlassCheck, NamesTheControlAndTheGlass) {
    const GlassCatalog catalog = test::flatCatalog({{"AIR", 1.0}, {"N-BK7", 1.5168}});
    DesignResult r = checkGlass(catalog, kNoGlass, WavelengthLine::d, GlassControl::Glass2);
    EXPECT_EQ(r.failure, DesignFailure::GlassNotChosen);
    EXPECT_EQ(r.details.control, GlassControl::Glass2);

    r = checkGlass(catalog, 1, 0, GlassControl::Glass1);
    EXPECT_EQ(r.failure, DesignFailure::UnusableLine);

    r = checkGlass(catalog, 0, WavelengthLine::d, GlassControl::Corrector);
    EXPECT_EQ(r.failure, DesignFailure::GlassIndexNotAboveOne);
    EXPECT_EQ(r.details.glass, 0);
    EXPECT_STREQ(r.details.glassName, "AIR");
    EXPECT_EQ(r.details.control, GlassControl::Corrector);

    EXPECT_TRUE(checkGlass(catalog, 1, WavelengthLine::d, GlassControl::Glass1).ok);
}

// A catalogue name that is not UTF-8 (CP932) stays in the details as it is, with the
// glass's number for the words that cannot show it.
TEST(GlassCheck, NameThatIsNotUtf8StaysWithItsNumber) {
    GlassCatalog catalog = test::flatCatalog({{"AIR", 1.0}, {"X", 0.9}});
    std::strcpy(catalog.entries[1].name, "\x94\xbd");
    const DesignResult r = checkGlass(catalog, 1, WavelengthLine::d, GlassControl::Glass3);
    EXPECT_STREQ(r.details.glassName, "\x94\xbd");
    EXPECT_EQ(r.details.glass, 1);
    EXPECT_EQ(r.details.control, GlassControl::Glass3);
}

TEST(DesignFailureMessage, RefusedAndBuiltHaveNone) {
    EXPECT_EQ(designRefused().failure, DesignFailure::None);
    EXPECT_FALSE(designRefused().ok);
    EXPECT_TRUE(designSucceeded().ok);
}

} // namespace
} // namespace kiro
