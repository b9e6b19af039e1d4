#include "model/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/german_numbers.h"

namespace kiro {
namespace {

struct TextCase {
    const char* text;
    DecimalMarks marks;
    NumberProblem problem;
    double value; // when accepted
};

constexpr DecimalMarks kPoint = DecimalMarks::PointOnly;
constexpr DecimalMarks kComma = DecimalMarks::PointOrComma;

// Every field of the program reads its text by this one rule; run under a German
// process locale, as a QApplication leaves it, so strtod's own comma cannot sneak in.
TEST(NumberText, OneRuleForEveryTypedNumber) {
    const std::vector<TextCase> cases = {
        // Numbers, with the point everywhere and the comma where the desktop uses it.
        {"12.5", kPoint, NumberProblem::None, 12.5},
        {"12.5", kComma, NumberProblem::None, 12.5},
        {"-600,75", kComma, NumberProblem::None, -600.75},
        {"0,567", kComma, NumberProblem::None, 0.567},
        {"  +3  ", kPoint, NumberProblem::None, 3.0},
        {".5", kPoint, NumberProblem::None, 0.5},
        {"3.", kPoint, NumberProblem::None, 3.0},
        {"-1.5E-3", kPoint, NumberProblem::None, -1.5e-3},
        {"1e-400", kPoint, NumberProblem::None, 0.0}, // underflow is a tiny number
        // Nothing is dropped: a comma where it is no separator, units, a second separator.
        {"0,567", kPoint, NumberProblem::NotANumber, 0},
        {"1.234,5", kComma, NumberProblem::NotANumber, 0},
        {"12mm", kPoint, NumberProblem::NotANumber, 0},
        {"1 2", kPoint, NumberProblem::NotANumber, 0},
        {"abc", kPoint, NumberProblem::NotANumber, 0},
        {"", kPoint, NumberProblem::NotANumber, 0},
        {"-", kPoint, NumberProblem::NotANumber, 0},
        {".", kPoint, NumberProblem::NotANumber, 0},
        {"1e", kPoint, NumberProblem::NotANumber, 0},
        {"0x10", kPoint, NumberProblem::NotANumber, 0},
        // Numbers no design can hold.
        {"inf", kPoint, NumberProblem::NotFinite, 0},
        {"-Infinity", kComma, NumberProblem::NotFinite, 0},
        {"nan", kPoint, NumberProblem::NotFinite, 0},
        {"1e999", kPoint, NumberProblem::NotFinite, 0},
        {"-1e309", kPoint, NumberProblem::NotFinite, 0},
    };
    const test::GermanNumbers german;
    ASSERT_TRUE(german.active());
    for (const TextCase& c : cases) {
        const NumberReading r = readNumberText(c.text, c.marks);
        EXPECT_EQ(r.problem, c.problem) << '"' << c.text << '"';
        if (c.problem == NumberProblem::None) {
            EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(NumberText, LimitsRefuseWhatTheFieldCannotTake) {
    struct LimitCase {
        const char* text;
        NumberLimits limits;
        NumberProblem problem;
    };
    const std::vector<LimitCase> cases = {
        {"0", kPositiveNumber, NumberProblem::OutOfRange},
        {"-0.001", kPositiveNumber, NumberProblem::OutOfRange},
        {"1e-300", kPositiveNumber, NumberProblem::None},
        {"0", kNonNegativeNumber, NumberProblem::None},
        {"-1", kNonNegativeNumber, NumberProblem::OutOfRange},
        {"2.5", kNonNegativeWholeNumber, NumberProblem::NotWhole},
        {"25", kNonNegativeWholeNumber, NumberProblem::None},
        {"1e30", kNonNegativeWholeNumber, NumberProblem::None}, // clamped by its field
        {"-3", kNonNegativeWholeNumber, NumberProblem::OutOfRange},
        {"100", NumberLimits{0.0, 99.0, true, false}, NumberProblem::OutOfRange},
        {"nan", kPositiveNumber, NumberProblem::NotFinite},
    };
    for (const LimitCase& c : cases) {
        EXPECT_EQ(readNumberText(c.text, kPoint, c.limits).problem, c.problem) << c.text;
    }
}

// Whatever "%.17g" writes reads back to the same double, so a shown value can be typed
// back without loss.
TEST(NumberText, PrintedNumbersReadBackExactly) {
    double x = 1.0;
    for (int k = 0; k < 2000; ++k) {
        x = std::fmod(x * 7919.123456789 + 0.3183098861837907, 2.0e6) - 1.0e6;
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", x);
        const NumberReading r = readNumberText(text, kComma);
        ASSERT_TRUE(r.ok()) << text;
        EXPECT_EQ(r.value, x) << text;
    }
}

} // namespace
} // namespace kiro
