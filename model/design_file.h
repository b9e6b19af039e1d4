#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "model/lens_system.h"

namespace kiro {

// How reading a design file ended. Read and ReadEndsEarly leave the file's design in the
// LensSystem; every other status leaves the LensSystem exactly as it was.
enum class DesignReadStatus {
    Read,            // the whole file was read
    ReadEndsEarly,   // a design of a known layout that stops early; `line` is its last line
    CannotOpen,      // the file could not be opened or read; `systemError` holds errno
    NotADesign,      // `notADesign` says why
    NonFiniteNumber, // a number on `line` is infinite, not a number, or overflows a double
};

enum class NotADesignReason {
    None,
    BinaryContent, // the file holds a NUL byte
    NoLayout,      // no version line of a known layout and no readable surface row
};

struct DesignReadResult {
    DesignReadStatus status = DesignReadStatus::Read;
    int line = 0;        // 1-based; for ReadEndsEarly and NonFiniteNumber
    int systemError = 0; // errno, for CannotOpen (0 when unknown)
    NotADesignReason notADesign = NotADesignReason::None;

    bool accepted() const {
        return status == DesignReadStatus::Read || status == DesignReadStatus::ReadEndsEarly;
    }
};

// Reads a design file, refusing what is not a design (see DesignReadStatus).
DesignReadResult readDesign(LensSystem& lens, const char* path);
// The same from the file's bytes in memory.
DesignReadResult readDesignBytes(LensSystem& lens, const char* data, size_t size);

enum class DesignWriteStatus {
    Written,
    CannotWrite,     // `systemError` holds errno (0 when unknown); any existing file is kept
    NonFiniteNumber, // the design holds an infinite or not-a-number value; nothing written
};

struct DesignWriteResult {
    DesignWriteStatus status = DesignWriteStatus::Written;
    int systemError = 0;

    bool written() const { return status == DesignWriteStatus::Written; }
};

// Writes the design atomically like writeDesignFile, refusing a non-finite value.
DesignWriteResult writeDesign(const LensSystem& lens, const char* path);

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
