#include "model/design_file.h"

#include <charconv>
#include <initializer_list>

#include "model/atomic_file.h"
#include "model/token_reader.h"

namespace kiro {
namespace {

constexpr int kWrittenVersion = 100;
constexpr int kSignificantDigits = 6; // "%lg"
constexpr const char* kLineEnd = "\r\n";

// "%lg" in the C locale whatever the process's locale is, so that files stay portable.
void appendNumber(std::string& out, double value) {
    char buffer[64];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, value,
                                                 std::chars_format::general, kSignificantDigits);
    out.append(buffer, r.ptr);
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

int writeDesignFile(const LensSystem& lens, const char* path) {
    return replaceFileAtomically(path, designFileText(lens)) ? 1 : 0;
}

DesignWriteResult writeDesign(const LensSystem& lens, const char* path) {
    DesignWriteResult result;
    if (writeDesignFile(lens, path) == 0) {
        result.status = DesignWriteStatus::CannotWrite;
    }
    return result;
}

} // namespace kiro
