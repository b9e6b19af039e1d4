#include "model/program_files.h"

#include <initializer_list>
#include <system_error>
#include <utility>
#include <vector>

namespace kiro {
namespace {

constexpr const char* kCatalogFile = "glass.dat";
constexpr const char* kShareFolder = "../share/kiro";
constexpr const char* kHelpFolder = "help";

bool isReadableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

// Where a file that comes with the program may lie: beside it, then in its share folder.
// None when the program's folder is not known. The program's folder is a real path, so
// the lexical ".." is the folder's parent.
std::vector<std::filesystem::path> installedPlaces(const std::filesystem::path& relative) {
    const std::filesystem::path folder = programFolder();
    if (folder.empty()) {
        return {};
    }
    return {(folder / relative).lexically_normal(),
            (folder / kShareFolder / relative).lexically_normal()};
}

} // namespace

std::filesystem::path programFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : exe.parent_path();
}

std::filesystem::path findProgramFile(const std::filesystem::path& relative) {
    for (const std::filesystem::path& place : installedPlaces(relative)) {
        if (isReadableFile(place)) {
            return place;
        }
    }
    return {};
}

std::filesystem::path loadStartCatalog(GlassCatalog& catalog) {
    catalog = GlassCatalog{};
    if (loadGlassCatalog(catalog, kCatalogFile) != 0) {
        return kCatalogFile;
    }
    const std::filesystem::path installed = findProgramFile(kCatalogFile);
    if (!installed.empty() && loadGlassCatalog(catalog, installed.c_str()) != 0) {
        return installed;
    }
    return {};
}

std::vector<std::filesystem::path> userGuidePlaces(const std::string& fileName) {
    const std::filesystem::path inHelp = std::filesystem::path(kHelpFolder) / fileName;
    std::vector<std::filesystem::path> places;
    for (const std::filesystem::path& local : {std::filesystem::path(fileName), inHelp}) {
        std::error_code ec;
        const std::filesystem::path absolute = std::filesystem::absolute(local, ec);
        places.push_back(ec ? local : absolute);
    }
    for (std::filesystem::path& place : installedPlaces(inHelp)) {
        places.push_back(std::move(place));
    }
    return places;
}

std::filesystem::path findUserGuide(const std::string& fileName) {
    for (const std::filesystem::path& place : userGuidePlaces(fileName)) {
        if (isReadableFile(place)) {
            return place;
        }
    }
    return {};
}

} // namespace kiro
