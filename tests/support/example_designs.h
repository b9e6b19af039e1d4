#pragma once

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <vector>

#include "model/lens_system.h"

namespace kiro::test {

// The design files (*.OPT) directly in the given folders of the source tree, sorted so
// that a failure names the same file on every machine.
inline std::vector<std::filesystem::path>
designFilesIn(std::initializer_list<const char*> folders) {
    std::vector<std::filesystem::path> paths;
    for (const char* folder : folders) {
        const std::filesystem::path dir = std::filesystem::path(KIRO_SOURCE_DIR) / folder;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            if (entry.path().extension() == ".OPT") {
                paths.push_back(entry.path());
            }
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The design files of examples/, for tests that check a property on every one of them.
inline std::vector<std::filesystem::path> exampleDesignPaths() {
    return designFilesIn({"examples", "examples/designed"});
}

// An empty design with the program's start settings: where every design is read or built.
inline LensSystem startDesign() {
    LensSystem lens;
    clearLensSystem(lens);
    setDefaultSettings(lens);
    return lens;
}

} // namespace kiro::test
