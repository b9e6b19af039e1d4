#pragma once

#include <limits>
#include <string_view>

namespace kiro {

// Which characters a typed number may use as its decimal separator. The point always
// works; the comma as well where the desktop writes numbers with decimal commas.
enum class DecimalMarks { PointOnly, PointOrComma };

// Why a typed number is refused.
enum class NumberProblem {
    None,
    NotANumber, // letters, an empty field, two separators, trailing units ...
    NotFinite,  // "inf", "nan", or so large it overflows
    NotWhole,   // a fraction where only whole numbers fit
    OutOfRange, // a number the field cannot take
};

// What a field can take. A bound at infinity is no bound.
struct NumberLimits {
    double lowest = -std::numeric_limits<double>::infinity();
    double highest = std::numeric_limits<double>::infinity();
    bool lowestExcluded = false; // true: the value must lie above lowest
    bool whole = false;
};

// Above 0 and finite: apertures, ranges, lengths that scale.
constexpr NumberLimits kPositiveNumber{0.0, std::numeric_limits<double>::infinity(), true, false};
// 0 or more: counts and image heights.
constexpr NumberLimits kNonNegativeNumber{0.0, std::numeric_limits<double>::infinity(), false,
                                          false};
constexpr NumberLimits kNonNegativeWholeNumber{0.0, std::numeric_limits<double>::infinity(), false,
                                               true};

struct NumberReading {
    double value = 0.0; // valid only when problem is None
    NumberProblem problem = NumberProblem::None;
    bool ok() const { return problem == NumberProblem::None; }
};

// The number a field's text stands for: spaces around it are allowed, everything else
// must be part of one decimal number ("-1.5e3", ".5", "3."); nothing is dropped. Read by
// the C locale's rules whatever the process's locale.
NumberReading readNumberText(std::string_view text, DecimalMarks marks,
                             const NumberLimits& limits = {});

} // namespace kiro
