#pragma once

#include <cstddef>

namespace kiro {

// Text from design files and the catalogue is kept as bytes: CP932 in older files,
// UTF-8 in newer ones. These helpers never split a multi-byte character.

bool isValidUtf8(const char* text, size_t length);

// Longest prefix of text (length bytes) that fits in limit bytes without cutting a
// character: UTF-8 boundaries when the text is valid UTF-8, CP932 otherwise.
size_t fittingPrefix(const char* text, size_t length, size_t limit);

} // namespace kiro
