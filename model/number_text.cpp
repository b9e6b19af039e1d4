#include "model/number_text.h"

#include <cmath>
#include <string>

#include "model/c_numbers.h"

namespace kiro {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// "inf", "infinity" and "nan" with an optional sign: numbers, but none a design can hold.
bool namesNonFinite(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    std::string word;
    for (char c : text) {
        word += lower(c);
    }
    return word == "inf" || word == "infinity" || word == "nan";
}

// The text with its decimal separator as a point, or empty when it is not one decimal
// number: [sign] digits [separator digits] [e [sign] digits], with a digit somewhere
// before the exponent.
std::string cNumberText(std::string_view text, DecimalMarks marks) {
    std::string out;
    size_t i = 0;
    const auto at = [&text](size_t k) { return k < text.size() ? text[k] : '\0'; };
    if (at(i) == '+' || at(i) == '-') {
        out += text[i++];
    }
    bool digits = false;
    while (isDigit(at(i))) {
        out += text[i++];
        digits = true;
    }
    const char separator = at(i);
    if (separator == '.' || (separator == ',' && marks == DecimalMarks::PointOrComma)) {
        out += '.';
        ++i;
        while (isDigit(at(i))) {
            out += text[i++];
            digits = true;
        }
    }
    if (!digits) {
        return {};
    }
    if (at(i) == 'e' || at(i) == 'E') {
        out += text[i++];
        if (at(i) == '+' || at(i) == '-') {
            out += text[i++];
        }
        if (!isDigit(at(i))) {
            return {};
        }
        while (isDigit(at(i))) {
            out += text[i++];
        }
    }
    return i == text.size() ? out : std::string{};
}

bool withinLimits(double value, const NumberLimits& limits) {
    const bool aboveLowest = limits.lowestExcluded ? value > limits.lowest : value >= limits.lowest;
    return aboveLowest && value <= limits.highest;
}

} // namespace

NumberReading readNumberText(std::string_view text, DecimalMarks marks,
                             const NumberLimits& limits) {
    const std::string_view number = trimmed(text);
    if (namesNonFinite(number)) {
        return {0.0, NumberProblem::NotFinite};
    }
    const std::string c = cNumberText(number, marks);
    if (c.empty()) {
        return {0.0, NumberProblem::NotANumber};
    }
    const double value = strtodC(c.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return {0.0, NumberProblem::NotFinite};
    }
    if (limits.whole && value != std::trunc(value)) {
        return {0.0, NumberProblem::NotWhole};
    }
    if (!withinLimits(value, limits)) {
        return {0.0, NumberProblem::OutOfRange};
    }
    return {value, NumberProblem::None};
}

} // namespace kiro
