#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/lens_system.h"

namespace kiro {

// Reads a design file in any of its three layouts into the design (table and
// description; the source goes back to infinity). Returns 0, leaving the design
// untouched, when the file cannot be opened; 1 otherwise, whatever the content.
int readDesignFile(LensSystem& lens, const char* path);

// The same reading from the file's bytes in memory; always 1.
int readDesignText(LensSystem& lens, const char* data, size_t size);

// Writes the current layout ("ver100", CR LF line ends) atomically: a temporary file
// beside the target is written, flushed and renamed over it. Returns 0 and leaves any
// existing file untouched on failure.
int writeDesignFile(const LensSystem& lens, const char* path);

// The bytes writeDesignFile writes.
std::string designFileText(const LensSystem& lens);

// The version a design file's first token gives: 100 * c3 + 10 * c4 + c5 - 5328 over the
// codes (as signed char) of its 4th to 6th characters. False (no version) when the token
// does not start with "ver" followed by at least three characters. For three digits the
// version is the three-digit number.
bool designFileVersion(std::string_view token, int& version);

} // namespace kiro
