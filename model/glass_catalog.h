#pragma once

#include <array>
#include <cstddef>

#include "model/surface.h"

namespace kiro {

constexpr int kMaxGlasses = 256;

struct GlassEntry {
    std::array<double, kIndexSlots> index{}; // index at line slots 0..7
    char name[kNameBytes] = {};              // one blank-free token; empty ends the catalogue
};

// Entry 0 stands for no glass at all.
struct GlassCatalog {
    std::array<GlassEntry, kMaxGlasses> entries{};
};

// Reads a whitespace-separated catalogue (name and eight indices per glass) into the
// catalogue. Returns 0 when the file cannot be opened (the catalogue is left as it was).
int loadGlassCatalog(GlassCatalog& catalog, const char* path);

// The same reading from the file's bytes in memory; always 1.
int loadGlassCatalogText(GlassCatalog& catalog, const char* data, size_t size);

// Entries before the first empty name.
int glassCount(const GlassCatalog& catalog);

// Position of the last entry whose name equals name byte for byte, or -1.
int findGlass(const GlassCatalog& catalog, const char* name);

// Gives a row glass k of the catalogue; k = 0, or a row that does not refract, gets air.
void applyGlass(Surface& row, const GlassCatalog& catalog, int k);

} // namespace kiro
