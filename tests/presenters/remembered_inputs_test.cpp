#include "presenters/remembered_inputs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kiro {
namespace {

// Every field survives the round trip; inputs far from the start values show it.
TEST(RememberedInputs, EveryFieldComesBackAsItWasKept) {
    OptimizerSettings optimizer;
    optimizer.minimiseSpherical = false;
    optimizer.sphericalLine = WavelengthLine::F;
    optimizer.chromaticLines = {true, false, true, false, true, true};
    optimizer.changeRangePercent = 2.5;
    optimizer.varyLensSpacings = true;
    OptimizerSettings optimizerBack;
    recallValues(rememberedValues(optimizer), optimizerBack);
    EXPECT_EQ(rememberedValues(optimizerBack), rememberedValues(optimizer));
    EXPECT_EQ(optimizerBack.chromaticLines, optimizer.chromaticLines);

    ReflectorInputs reflector{ReflectorType::DallKirkham, 150.0, 12.5, 0.3, 180.0, 4,
                              WavelengthLine::e};
    ReflectorInputs reflectorBack;
    recallValues(rememberedValues(reflector), reflectorBack);
    EXPECT_EQ(rememberedValues(reflectorBack), rememberedValues(reflector));

    RefractorInputs refractor;
    refractor.type = RefractorType::DoubletFlattener;
    refractor.glass3 = 17;
    refractor.thickness2 = 3.25;
    refractor.chromaticMask = 1 << WavelengthLine::g;
    RefractorInputs refractorBack;
    recallValues(rememberedValues(refractor), refractorBack);
    EXPECT_EQ(rememberedValues(refractorBack), rememberedValues(refractor));

    Settings settings{3, -1250, SpotGridMode::FixedPitch, 77, 4, SourceMode::Point, 1.0, 2.0, 3.0};
    Settings settingsBack;
    recallValues(rememberedValues(settings), settingsBack);
    EXPECT_EQ(rememberedValues(settingsBack), rememberedValues(settings));
    EXPECT_EQ(settingsBack.sourceMode, SourceMode::Infinity); // the source is not kept
    EXPECT_EQ(rememberedValues(settings).count("sourceX"), 0U);
}

// A damaged store: every field given a value it cannot hold keeps its start value.
TEST(RememberedInputs, ValuesAFieldCannotHoldAreIgnored) {
    for (const double bad :
         {std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 1e300, 0.5}) {
        const auto damaged = [bad](RememberedValues values) {
            for (auto& [name, value] : values) {
                // 0.5 fits the double fields; it is refused only where a whole number is meant.
                value = bad;
            }
            return values;
        };
        Settings settings;
        recallValues(damaged(rememberedValues(Settings{})), settings);
        EXPECT_EQ(rememberedValues(settings), rememberedValues(Settings{})) << bad;
        ReflectorInputs reflector;
        recallValues(damaged(rememberedValues(ReflectorInputs{})), reflector);
        EXPECT_EQ(reflector.type, ReflectorInputs{}.type) << bad;
        EXPECT_EQ(reflector.glass, ReflectorInputs{}.glass) << bad;
        OptimizerSettings optimizer;
        recallValues(damaged(rememberedValues(OptimizerSettings{})), optimizer);
        EXPECT_EQ(optimizer.sphericalLine, OptimizerSettings{}.sphericalLine) << bad;
        EXPECT_EQ(optimizer.chromaticLines, OptimizerSettings{}.chromaticLines) << bad;
    }
    Settings settings;
    recallValues({{"rayCount", 21.0}, {"spotGridPoints", 0.0}, {"unknown", 5.0}}, settings);
    EXPECT_EQ(rememberedValues(settings), rememberedValues(Settings{}));
}

// A control's kept number comes back only when it is a whole number within the control's
// range; anything else leaves the control as it opened.
TEST(RememberedInputs, AControlTakesOnlyAWholeNumberWithinItsRange) {
    constexpr int kLowest = 1;
    constexpr int kHighest = 150;
    for (const double kept :
         {-1.0, 0.0, 1.0, 2.5, 75.0, 150.0, 151.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
          std::numeric_limits<double>::infinity()}) {
        const RememberedValues values{{"107", kept}};
        const std::optional<int> back = recalledWhole(values, "107", kLowest, kHighest);
        const bool fits = kept >= kLowest && kept <= kHighest && kept == std::floor(kept);
        ASSERT_EQ(back.has_value(), fits) << kept;
        if (fits) {
            EXPECT_EQ(*back, static_cast<int>(kept));
        }
    }
    EXPECT_FALSE(recalledWhole({}, "107", kLowest, kHighest).has_value());
}

} // namespace
} // namespace kiro
