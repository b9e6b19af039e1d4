#include "analysis/information_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "model/c_numbers.h"
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

// A value that does not exist prints as "-" rather than inf or nan: the focal length of
// parallel final rays (a flat mirror) and the F-number without a diameter (r = 0).
TEST(InformationText, ValuesThatDoNotExistPrintAsDash) {
    SurfaceTable flat = test::sphericalMirror(200.0, 50.0, 100.0);
    flat[0].type = SurfaceType::FlatMirror;
    const std::vector<std::string> lines =
        test::linesOf(buildInformationText(flat, Settings{}, 50.0));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[4], "焦点距離(d線):-");
    EXPECT_EQ(lines[6], "有効径:100.000000    F値:-");

    const std::string zero =
        buildInformationText(test::sphericalMirror(200.0, 50.0, 100.0), Settings{}, 0.0);
    EXPECT_EQ(test::linesOf(zero).size(), 7u);
    EXPECT_NE(zero.find("有効径:0.000000    F値:-"), std::string::npos) << zero;
    for (const std::string& text : {lines[2], lines[4], lines[6], zero}) {
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
    }
}

// A value that rounds to zero at the six decimals shown has no sign: a focus 1.5e-13 off
// the axis is on it. Signs stay where a digit shows, and in exponent notation.
TEST(InformationText, ZeroShowsWithoutAMinusSign) {
    EXPECT_EQ(formatShownC("%lf", -1.5e-13), "0.000000");
    EXPECT_EQ(formatShownC("%lf", -0.0), "0.000000");
    EXPECT_EQ(formatShownC("%lf", -4e-7), "0.000000");
    EXPECT_EQ(formatShownC("%lf", -6e-7), "-0.000001");
    EXPECT_EQ(formatShownC("%lf", -900.0), "-900.000000");
    EXPECT_EQ(formatShownC("%.17g", -0.0), "0");
    EXPECT_EQ(formatShownC("%g", -1e-300), "-1e-300");
    EXPECT_EQ(formatShownC("%lf", -std::numeric_limits<double>::infinity()), "-");
    EXPECT_EQ(formatShownC("%lf", std::nan("")), "-");

    // A mirror a hair off the axis: the focus x is about -1e-13.
    SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    table[0].x = -1e-13;
    table[1].x = -1e-13;
    const std::vector<std::string> lines =
        test::linesOf(buildInformationText(table, Settings{}, 50.0));
    EXPECT_EQ(lines[2].find("-0.000000"), std::string::npos) << lines[2];
    EXPECT_EQ(lines[2].rfind("焦点位置(d線):( 0.000000, 0.000000, ", 0), 0u) << lines[2];
}

TEST(InformationText, HugeValuesStillFit) {
    SurfaceTable table = test::sphericalMirror(200.0, 50.0, 100.0);
    const std::string text = buildInformationText(table, Settings{}, 1e300);
    EXPECT_EQ(test::linesOf(text).size(), 7u);
    EXPECT_GT(text.size(), 300u);
}

} // namespace
} // namespace kiro
