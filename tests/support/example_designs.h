#pragma once

#include <filesystem>
#include <vector>

// The design files of examples/, for tests that check a property on every one of them.
namespace kiro::test {

inline std::vector<std::filesystem::path> exampleDesignPaths() {
    std::vector<std::filesystem::path> paths;
    const std::filesystem::path folder = std::filesystem::path(KIRO_SOURCE_DIR) / "examples";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.path().extension() == ".OPT") {
            paths.push_back(entry.path());
        }
    }
    return paths;
}

} // namespace kiro::test
