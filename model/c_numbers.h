#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// Numbers read and written by the C locale's rules whatever the process's locale: a
// QApplication adopts the user's locale, and under de_DE.UTF-8 strtod stops at the
// point of "1.5" and printf writes "1,5".
namespace kiro {

// strtod in the C locale: text that is no number reads as 0, "1e999" as infinity.
double strtodC(const char* text, char** end);

// snprintf and vsnprintf in the C locale.
int snprintfC(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
int vsnprintfC(char* buffer, size_t size, const char* format, va_list args)
    __attribute__((format(printf, 3, 0)));

// The text of a value that does not exist (infinite or not a number) where a person
// reads numbers.
inline constexpr const char* kNoValueText = "-";

// A value for a person, printed with a format of one floating-point number in the C
// locale: kNoValueText when it does not exist, and no minus sign on a value that rounds
// to zero at the format's precision ("0.000000", never "-0.000000").
std::string formatShownC(const char* format, double value);

} // namespace kiro
