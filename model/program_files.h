#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "model/glass_catalog.h"

namespace kiro {

// Files that come with the program (the catalogue, the user's guide) live in
// <prefix>/share/kiro beside <prefix>/bin, in the build tree as after installation.

// The folder of the running program; empty when it cannot be found.
std::filesystem::path programFolder();

// relative beside the program or inside its share folder; empty when there is no such
// file.
std::filesystem::path findProgramFile(const std::filesystem::path& relative);

// "glass.dat" from the working directory, else the catalogue installed with the program.
// The catalogue is emptied first; returns the path it was read from, empty when none was
// found (the catalogue then stays empty).
std::filesystem::path loadStartCatalog(GlassCatalog& catalog);

// The user's guide: "kiro.htm" or "help/kiro.htm" in the working directory, else the one
// installed with the program; empty when there is none. The path is absolute. Another
// file name ("kiro.en.htm") is looked for in the same places.
inline constexpr const char* kUserGuideFile = "kiro.htm";
std::filesystem::path findUserGuide(const std::string& fileName = kUserGuideFile);

// Where findUserGuide looks, in its order (for telling the user when none is there).
std::vector<std::filesystem::path> userGuidePlaces(const std::string& fileName = kUserGuideFile);

} // namespace kiro
