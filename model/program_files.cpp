#include "model/program_files.h"

#include <initializer_list>
#include <system_error>

namespace kiro {
namespace {

constexpr const char* kCatalogFile = "glass.dat";
constexpr const char* kShareFolder = "../share/kiro";
constexpr const char* kHelpFolder = "help";

bool isReadableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

std::filesystem::path programFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : exe.parent_path();
}

std::filesystem::path findProgramFile(const std::filesystem::path& relative) {
    const std::filesystem::path folder = programFolder();
    if (folder.empty()) {
        return {};
    }
    for (const std::filesystem::path& candidate :
         {folder / relative, folder / kShareFolder / relative}) {
        if (isReadableFile(candidate)) {
            return candidate.lexically_normal();
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
    if (const std::filesystem::path folder = programFolder(); !folder.empty()) {
        places.push_back((folder / inHelp).lexically_normal());
        places.push_back((folder / kShareFolder / inHelp).lexically_normal());
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
