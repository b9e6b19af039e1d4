#include "model/text_bytes.h"

namespace kiro {
namespace {

bool isCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

int utf8SequenceLength(unsigned char b) {
    if (b < 0x80) {
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        return 4;
    }
    return 0;
}

} // namespace

bool isValidUtf8(const char* text, size_t length) {
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        const int n = utf8SequenceLength(s[i]);
        if (n == 0 || i + static_cast<size_t>(n) > length) {
            return false;
        }
        for (int k = 1; k < n; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                return false;
            }
        }
        // Overlong three- and four-byte forms, surrogates and code points past U+10FFFF.
        if ((s[i] == 0xE0 && s[i + 1] < 0xA0) || (s[i] == 0xED && s[i + 1] > 0x9F) ||
            (s[i] == 0xF0 && s[i + 1] < 0x90) || (s[i] == 0xF4 && s[i + 1] > 0x8F)) {
            return false;
        }
        i += static_cast<size_t>(n);
    }
    return true;
}

size_t fittingPrefix(const char* text, size_t length, size_t limit) {
    if (length <= limit) {
        return length;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    const bool utf8 = isValidUtf8(text, length);
    size_t i = 0;
    while (i < length) {
        const size_t n = utf8 ? static_cast<size_t>(utf8SequenceLength(s[i]))
                              : (isCp932LeadByte(s[i]) && i + 1 < length ? 2u : 1u);
        if (i + n > limit) {
            break;
        }
        i += n;
    }
    return i;
}

} // namespace kiro
