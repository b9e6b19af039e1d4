#include "model/design_file.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "model/atomic_file.h"
#include "model/token_reader.h"

namespace kiro {
namespace {

constexpr int kWrittenVersion = 100;
constexpr int kFewestDigits = 6; // "%lg": what files always held
constexpr int kMostDigits = 17;  // enough for any double
constexpr const char* kLineEnd = "\r\n";

// "%.Kg" in the C locale whatever the process's locale is, so that files stay portable,
// with the smallest K from 6 that reads back to the same double: a value "%lg" wrote
// keeps its bytes, any other keeps every bit. A subnormal value holds fewer digits than
// 6, so its search starts at 1 (its exponent notation is the same for every K).
void appendNumber(std::string& out, double value) {
    char buffer[64];
    const int fewest = std::fpclassify(value) == FP_SUBNORMAL ? 1 : kFewestDigits;
    for (int digits = fewest; digits <= kMostDigits; ++digits) {
        const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value,
                                                     std::chars_format::general, digits);
        const std::string_view text(buffer, static_cast<size_t>(r.ptr - buffer));
        double back = 0.0;
        if (digits == kMostDigits ||
            (parseNumberPrefix(text, back) && std::memcmp(&back, &value, sizeof value) == 0)) {
            out += text;
            return;
        }
    }
}

void appendInteger(std::string& out, int32_t value) {
    char buffer[16];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, r.ptr);
}

void appendNumbers(std::string& out, std::initializer_list<double> values) {
    bool first = true;
    for (double v : values) {
        if (!first) {
            out += ' ';
        }
        appendNumber(out, v);
        first = false;
    }
    out += kLineEnd;
}

std::string_view fieldText(const char* field, size_t fieldBytes) {
    size_t n = 0;
    while (n < fieldBytes && field[n] != '\0') {
        ++n;
    }
    return std::string_view(field, n);
}

// The description is read back as the rest of its line: line breaks inside it become
// blanks, and blanks at its ends (which the reader drops) are not written; "-" marks an
// empty one.
void appendDescription(std::string& out, std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isTokenSeparator(text[begin])) {
        ++begin;
    }
    while (end > begin && isTokenSeparator(text[end - 1])) {
        --end;
    }
    if (begin == end) {
        out += '-';
    }
    for (size_t i = begin; i < end; ++i) {
        out += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
    }
    out += kLineEnd;
}

// A material is read back as one token: a separator inside one would shift every later
// field, so it is written as an underscore.
void appendMaterial(std::string& out, std::string_view text) {
    if (text.empty()) {
        out += '-';
    }
    for (char c : text) {
        out += isTokenSeparator(c) ? '_' : c;
    }
    out += kLineEnd;
}

} // namespace

std::string designFileText(const LensSystem& lens) {
    std::string out = "ver";
    appendInteger(out, kWrittenVersion);
    out += kLineEnd;
    appendDescription(out, fieldText(lens.description, sizeof lens.description));
    for (int i = 0; i < kSurfaceRows && lens.surfaces[i].type >= 0; ++i) {
        const Surface& s = lens.surfaces[i];
        appendInteger(out, s.type);
        out += kLineEnd;
        appendNumbers(out, {s.x, s.y, s.z});
        appendNumbers(out, {s.nx, s.ny, s.nz});
        appendNumbers(out, {s.radius, s.a2, s.a3, s.a4});
        appendNumbers(out, {s.effectiveRadius});
        for (double n : s.index) {
            appendNumber(out, n);
            out += ' ';
        }
        out += kLineEnd;
        appendMaterial(out, fieldText(s.material, sizeof s.material));
    }
    return out;
}

bool designNumbersFinite(const LensSystem& lens) {
    for (int i = 0; i < kSurfaceRows && lens.surfaces[i].type >= 0; ++i) {
        const Surface& s = lens.surfaces[i];
        for (double v :
             {s.x, s.y, s.z, s.nx, s.ny, s.nz, s.radius, s.a2, s.a3, s.a4, s.effectiveRadius}) {
            if (!std::isfinite(v)) {
                return false;
            }
        }
        for (double n : s.index) {
            if (!std::isfinite(n)) {
                return false;
            }
        }
    }
    return true;
}

DesignWriteResult writeDesign(const LensSystem& lens, const char* path) {
    DesignWriteResult result;
    if (!designNumbersFinite(lens)) {
        result.status = DesignWriteStatus::NonFiniteNumber;
        return result;
    }
    errno = 0;
    if (!replaceFileAtomically(path, designFileText(lens))) {
        result.status = DesignWriteStatus::CannotWrite;
        result.systemError = errno;
    }
    return result;
}

int writeDesignFile(const LensSystem& lens, const char* path) {
    return writeDesign(lens, path).written() ? 1 : 0;
}

} // namespace kiro
