#pragma once

#include <string_view>

namespace kiro {

// Replaces the file at path with bytes, or leaves it untouched: the bytes go to a new
// file in the same folder, which is flushed to the disk and then renamed over the target.
// An existing target's permission bits are kept, and a link to it stays a link. A target
// that exists but is no regular file is refused. False on any failure, errno then saying why. The
// temporary files of earlier saves of the same target whose writer was killed are removed first.
bool replaceFileAtomically(const char* path, std::string_view bytes);

} // namespace kiro
