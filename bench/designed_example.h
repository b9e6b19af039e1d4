#pragma once

#include <string>

#include "model/design_file.h"

namespace kiro {

// A design of examples/designed, as the program reads it.
inline LensSystem designedExample(const std::string& fileName) {
    LensSystem lens;
    readDesignFile(lens, (std::string(KIRO_SOURCE_DIR "/examples/designed/") + fileName).c_str());
    return lens;
}

} // namespace kiro
