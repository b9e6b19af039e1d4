#pragma once

#include "model/lens_system.h"

namespace kiro {

// Reads a design file in any of its three layouts into the design (table and
// description; the source goes back to infinity). Returns 0, leaving the design
// untouched, when the file cannot be opened; 1 otherwise, whatever the content.
int readDesignFile(LensSystem& lens, const char* path);

// Writes the current layout ("ver100", CR LF line ends) atomically: a temporary file
// beside the target is written, flushed and renamed over it. Returns 0 and leaves any
// existing file untouched on failure.
int writeDesignFile(const LensSystem& lens, const char* path);

} // namespace kiro
