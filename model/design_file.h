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

// Writes the design atomically: a temporary file beside the target is written, flushed
// and renamed over it, so a failure leaves any existing file as it was. A design holding
// a non-finite value is refused and nothing is written.
DesignWriteResult writeDesign(const LensSystem& lens, const char* path);

// readDesign and readDesignBytes for callers that only need to know whether the design
// was read: 1 when it was (also when it ends early), 0 when it was refused or the file
// could not be opened, the design then left untouched.
int readDesignFile(LensSystem& lens, const char* path);
int readDesignText(LensSystem& lens, const char* data, size_t size);

// writeDesign for callers that only need to know whether it was written: 1 or 0.
int writeDesignFile(const LensSystem& lens, const char* path);

// The bytes writeDesign writes: the current layout ("ver100", CR LF line ends), each
// number with the fewest digits (6 to 17) that read back to the same double.
std::string designFileText(const LensSystem& lens);

// Whether every number a design file of the design would hold is finite.
bool designNumbersFinite(const LensSystem& lens);

// The version a design file's first token gives: 100 * c3 + 10 * c4 + c5 - 5328 over the
// codes (as signed char) of its 4th to 6th characters. False (no version) when the token
// does not start with "ver" followed by at least three characters. For three digits the
// version is the three-digit number.
bool designFileVersion(std::string_view token, int& version);

} // namespace kiro
