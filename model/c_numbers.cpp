#include "model/c_numbers.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace kiro {

namespace {

// Made once and never freed; null only when the C library cannot make even "C", and then
// the process's own locale is used.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t{});
    return c;
}

} // namespace

double strtodC(const char* text, char** end) {
    const locale_t c = cLocale();
    return c != locale_t{} ? strtod_l(text, end, c) : std::strtod(text, end);
}

int vsnprintfC(char* buffer, size_t size, const char* format, va_list args) {
    const locale_t c = cLocale();
    // uselocale changes the calling thread's locale only, so painting threads and the
    // optimizer's workers do not see each other's switch.
    const locale_t previous = c != locale_t{} ? uselocale(c) : locale_t{};
    const int written = std::vsnprintf(buffer, size, format, args);
    if (previous != locale_t{}) {
        uselocale(previous);
    }
    return written;
}

int snprintfC(char* buffer, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int written = vsnprintfC(buffer, size, format, args);
    va_end(args);
    return written;
}

std::string formatShownC(const char* format, double value) {
    if (!std::isfinite(value)) {
        return kNoValueText;
    }
    const int length = snprintfC(nullptr, 0, format, value);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length), '\0');
    snprintfC(text.data(), text.size() + 1, format, value);
    // Only the digits before an exponent say whether the printed value is zero.
    const size_t exponent = text.find_first_of("eE");
    const std::string mantissa = text.substr(0, exponent);
    if (text[0] == '-' && mantissa.find_first_of("123456789") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

} // namespace kiro
