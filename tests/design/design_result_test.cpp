#include <cstring>

#include <gtest/gtest.h>

#include "design/design_result.h"
#include "design/designer_inputs.h"
#include "design/glass_choice.h"
#include "design_test_support.h"

namespace kiro {
namespace {

// The failures carry a code and its details for the desktop program to word; the core's
// own Japanese message (kiro-cli's) is made from the same.
TEST(GlassCheck, NamesTheControlAndTheGlass) {
    const GlassCatalog catalog = test::flatCatalog({{"AIR", 1.0}, {"N-BK7", 1.5168}});
    DesignResult r = checkGlass(catalog, kNoGlass, WavelengthLine::d, GlassControl::Glass2);
    EXPECT_EQ(r.failure, DesignFailure::GlassNotChosen);
    EXPECT_EQ(r.details.control, GlassControl::Glass2);
    EXPECT_STREQ(r.message, "「第２ガラス材」が選ばれていません。");

    r = checkGlass(catalog, 1, 0, GlassControl::Glass1);
    EXPECT_EQ(r.failure, DesignFailure::UnusableLine);
    EXPECT_STREQ(r.message, "基準の光の波長が正しくありません。");

    r = checkGlass(catalog, 0, WavelengthLine::d, GlassControl::Corrector);
    EXPECT_EQ(r.failure, DesignFailure::GlassIndexNotAboveOne);
    EXPECT_EQ(r.details.glass, 0);
    EXPECT_STREQ(r.details.glassName, "AIR");
    EXPECT_STREQ(r.message,
                 "「補正版のガラス材」の AIR は基準の波長での屈折率が1を超えないため使えません。");

    EXPECT_TRUE(checkGlass(catalog, 1, WavelengthLine::d, GlassControl::Glass1).ok);
}

// A catalogue name that is not UTF-8 (CP932) stays in the details but would spoil the
// message's encoding: the message names the glass by its number.
TEST(GlassCheck, NameThatIsNotUtf8IsNamedByNumber) {
    GlassCatalog catalog = test::flatCatalog({{"AIR", 1.0}, {"X", 0.9}});
    std::strcpy(catalog.entries[1].name, "\x94\xbd");
    const DesignResult r = checkGlass(catalog, 1, WavelengthLine::d, GlassControl::Glass3);
    EXPECT_STREQ(r.details.glassName, "\x94\xbd");
    EXPECT_STREQ(
        r.message,
        "「第３ガラス材」のガラス（1番）は基準の波長での屈折率が1を超えないため使えません。");
}

TEST(DesignFailureMessage, RefusedAndBuiltHaveNone) {
    EXPECT_EQ(designRefused().failure, DesignFailure::None);
    EXPECT_FALSE(designRefused().ok);
    EXPECT_STREQ(designRefused().message, "");
    EXPECT_TRUE(designSucceeded().ok);
}

} // namespace
} // namespace kiro
