#include "analysis/information_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/analysis/analysis_tables.h"
#include "tests/support/german_numbers.h"

namespace kiro {
namespace {

// Where the meridional rays of zone h of a spherical mirror of radius R at z = 0 cross
// the axis after reflection: R - R / (2 cos a), sin a = h / R.
double sphereZoneFocus(double radius, double h) {
    return radius - radius / (2.0 * std::sqrt(1.0 - (h / radius) * (h / radius)));
}

TEST(InformationText, SphericalMirrorExactText) {
    const SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    const double r = apertureRadius(table);
    ASSERT_EQ(r, 50.0);
    const double focusZ = (sphereZoneFocus(200.0, 7.5) + sphereZoneFocus(200.0, 25.0) +
                           sphereZoneFocus(200.0, 42.5)) /
                          3.0;
    const double f = 200.0 / (2.0 * std::sqrt(1.0 - 0.05 * 0.05 / 40000.0)); // zone r / 1000
    char expected[512];
    std::snprintf(expected, sizeof expected,
                  "          情報表示\n\n焦点位置(d線):( 0.000000, 0.000000, %lf)\n\n"
                  "焦点距離(d線):%lf\n\n有効径:100.000000    F値:%lf",
                  focusZ, f, f / 100.0);
    EXPECT_EQ(buildInformationText(table, Settings{}, r), expected);
    EXPECT_LT(focusZ, 99.8); // the mean lies towards the mirror from the near-axis focus
}

TEST(InformationText, AlwaysSevenLines) {
    const std::string text =
        buildInformationText(test::newtonian(), Settings{}, apertureRadius(test::newtonian()));
    EXPECT_EQ(test::linesOf(text).size(), 7u);
    EXPECT_NE(text.back(), '\n');
    EXPECT_EQ(test::linesOf(text)[6], "有効径:200.000000    F値:5.000000");
}

TEST(InformationText, DecimalPointWhateverTheLocale) {
    const test::GermanNumbers german;
    ASSERT_TRUE(german.active());
    const std::string text =
        buildInformationText(test::newtonian(), Settings{}, apertureRadius(test::newtonian()));
    EXPECT_EQ(test::linesOf(text)[6], "有効径:200.000000    F値:5.000000");
}

TEST(InformationText, EmptyDesignHasNoData) {
    EXPECT_EQ(buildInformationText(SurfaceTable{}, Settings{}, 0.0), "データがありません");
}

// Another language's words (the desktop program's English) change nothing else: the
// numbers, the blanks and the seven lines stay.
TEST(InformationText, OtherWordsKeepTheNumbersAndLayout) {
    const SurfaceTable table = test::newtonian();
    const InformationWords english{"Information",
                                   "Focus position (d line)",
                                   "Focal length (d line)",
                                   "Effective diameter",
                                   "F-number",
                                   "No data"};
    std::string expected = buildInformationText(table, Settings{}, apertureRadius(table));
    const std::pair<const char*, const char*> words[] = {{"情報表示", english.heading},
                                                         {"焦点位置(d線)", english.focusPosition},
                                                         {"焦点距離(d線)", english.focalLength},
                                                         {"有効径", english.diameter},
                                                         {"F値", english.fNumber}};
    for (const auto& [japanese, other] : words) {
        expected.replace(expected.find(japanese), std::strlen(japanese), other);
    }
    EXPECT_EQ(buildInformationText(table, Settings{}, apertureRadius(table), english), expected);
    EXPECT_EQ(test::linesOf(expected)[6], "Effective diameter:200.000000    F-number:5.000000");
    EXPECT_EQ(buildInformationText(SurfaceTable{}, Settings{}, 0.0, english), "No data");
}

TEST(InformationText, ZeroRadiusPrintsWhatTheLibraryPrints) {
    const SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    const std::string text = buildInformationText(table, Settings{}, 0.0);
    EXPECT_EQ(test::linesOf(text).size(), 7u);
    EXPECT_NE(text.find("有効径:0.000000"), std::string::npos);
    EXPECT_NE(text.find("nan"), std::string::npos);
}

TEST(InformationText, HugeValuesStillFit) {
    SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    const std::string text = buildInformationText(table, Settings{}, 1e300);
    EXPECT_EQ(test::linesOf(text).size(), 7u);
    EXPECT_GT(text.size(), 300u);
}

} // namespace
} // namespace kiro
