#include "model/token_reader.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "model/c_numbers.h"
#include "model/text_bytes.h"

namespace kiro {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void skipSeparators(TokenReader& in) {
    while (in.pos < in.size && isTokenSeparator(in.data[in.pos])) {
        ++in.pos;
    }
    if (in.pos == in.size) {
        in.endReached = true;
    }
}

} // namespace

TokenReader makeTokenReader(const char* data, size_t size) {
    TokenReader in;
    in.data = data;
    in.size = data == nullptr ? 0 : size;
    return in;
}

bool isTokenSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool nextToken(TokenReader& in, std::string_view& token) {
    token = {};
    skipSeparators(in);
    if (in.pos == in.size) {
        return false;
    }
    const size_t start = in.pos;
    while (in.pos < in.size && !isTokenSeparator(in.data[in.pos])) {
        ++in.pos;
    }
    if (in.pos == in.size) {
        in.endReached = true;
    }
    token = std::string_view(in.data + start, in.pos - start);
    return true;
}

bool nextLine(TokenReader& in, std::string_view& line) {
    line = {};
    skipSeparators(in);
    if (in.pos == in.size) {
        return false;
    }
    const size_t start = in.pos;
    // A lone CR ends a line too, so that a file with CR line ends keeps its rows.
    while (in.pos < in.size && in.data[in.pos] != '\n' && in.data[in.pos] != '\r') {
        ++in.pos;
    }
    size_t end = in.pos;
    if (in.pos == in.size) {
        in.endReached = true;
    } else {
        ++in.pos; // the line break belongs to this line
    }
    while (end > start && isTokenSeparator(in.data[end - 1])) {
        --end;
    }
    line = std::string_view(in.data + start, end - start);
    return true;
}

NumberPrefix readNumberPrefix(std::string_view text, double& value) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    // from_chars takes no leading plus sign; formatted input does.
    if (first != last && *first == '+' && first + 1 != last && first[1] != '-') {
        ++first;
    }
    double v = 0.0;
    const std::from_chars_result r = std::from_chars(first, last, v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is no usable number. strtod tells them apart
        // by the value it saturates to.
        const std::string pattern(first, static_cast<size_t>(r.ptr - first));
        if (std::abs(strtodC(pattern.c_str(), nullptr)) < 1.0) {
            value = 0.0;
            return NumberPrefix::Finite;
        }
        return NumberPrefix::NonFinite;
    }
    if (r.ec != std::errc()) {
        return NumberPrefix::None;
    }
    if (!std::isfinite(v)) {
        return NumberPrefix::NonFinite;
    }
    value = v;
    return NumberPrefix::Finite;
}

bool parseNumberPrefix(std::string_view text, double& value) {
    return readNumberPrefix(text, value) == NumberPrefix::Finite;
}

int lineAt(const TokenReader& in, size_t pos) {
    int line = 1;
    const size_t end = std::min(pos, in.size);
    for (size_t i = 0; i < end; ++i) {
        const char c = in.data[i];
        if (c == '\n' || (c == '\r' && (i + 1 >= in.size || in.data[i + 1] != '\n'))) {
            ++line;
        }
    }
    return line;
}

bool parseIntegerPrefix(std::string_view text, int32_t& value) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || !isDigit(text[i])) {
        return false;
    }
    // Accumulate as a negative number so INT32_MIN fits; saturate like strtol does.
    int64_t v = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        v = v * 10 - (text[i] - '0');
        if (v < INT32_MIN) {
            v = INT32_MIN - int64_t{1};
        }
    }
    if (negative) {
        value = v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
    } else {
        value = -v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(-v);
    }
    return true;
}

bool readNumber(TokenReader& in, double& field) {
    std::string_view token;
    if (!nextToken(in, token)) {
        return false;
    }
    parseNumberPrefix(token, field);
    return true;
}

bool readInteger(TokenReader& in, int32_t& field) {
    std::string_view token;
    if (!nextToken(in, token)) {
        return false;
    }
    parseIntegerPrefix(token, field);
    return true;
}

void copyField(char* field, size_t fieldBytes, std::string_view text) {
    if (fieldBytes == 0) {
        return;
    }
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    const size_t n = fittingPrefix(text.data(), text.size(), fieldBytes - 1);
    if (n > 0) { // an empty text may have no bytes at all
        std::memcpy(field, text.data(), n);
    }
    std::memset(field + n, 0, fieldBytes - n);
}

bool readFileBytes(const char* path, std::string& bytes, size_t limitBytes) {
    bytes.clear();
    if (path == nullptr) {
        return false;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    char buffer[65536];
    bool ok = true;
    while (bytes.size() < limitBytes) {
        const size_t want = std::min(sizeof buffer, limitBytes - bytes.size());
        const size_t got = std::fread(buffer, 1, want, file);
        bytes.append(buffer, got);
        if (got < want) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    const int error = errno;
    std::fclose(file);
    errno = error;
    return ok;
}

} // namespace kiro
