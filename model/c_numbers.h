#pragma once

#include <cstdarg>
#include <cstddef>

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

} // namespace kiro
