#include "model/glass_catalog.h"

#include <cstring>
#include <string>

#include "model/lens_system.h"
#include "model/token_reader.h"

namespace kiro {

int loadGlassCatalog(GlassCatalog& catalog, const char* path) {
    std::string bytes;
    if (!readFileBytes(path, bytes, kMaxTextFileBytes)) {
        return 0;
    }
    return loadGlassCatalogText(catalog, bytes.data(), bytes.size());
}

int loadGlassCatalogText(GlassCatalog& catalog, const char* data, size_t size) {
    if (size == 0) {
        return 1;
    }
    TokenReader in = makeTokenReader(data, size);
    for (GlassEntry& entry : catalog.entries) {
        std::string_view name;
        nextToken(in, name);
        if (in.endReached) {
            // A name with no numbers after it (or none at all, after a final line break)
            // is no glass.
            entry.name[0] = '\0';
            break;
        }
        copyField(entry.name, sizeof entry.name, name);
        for (double& n : entry.index) {
            readNumber(in, n);
        }
        if (in.endReached) {
            break;
        }
    }
    return 1;
}

int glassCount(const GlassCatalog& catalog) {
    int n = 0;
    while (n < kMaxGlasses && catalog.entries[n].name[0] != '\0') {
        ++n;
    }
    return n;
}

int findGlass(const GlassCatalog& catalog, const char* name) {
    // A name too long for the field can equal no entry.
    if (name == nullptr || strnlen(name, kNameBytes) == kNameBytes) {
        return -1;
    }
    int found = -1;
    const int count = glassCount(catalog);
    for (int k = 0; k < count; ++k) {
        if (std::strcmp(catalog.entries[k].name, name) == 0) {
            found = k;
        }
    }
    return found;
}

void applyGlass(Surface& row, const GlassCatalog& catalog, int k) {
    // Entry 0, a position outside the catalogue and every row that does not refract get air.
    if (k <= 0 || k >= glassCount(catalog) || row.type < SurfaceType::FirstRefracting) {
        row.index.fill(1.0);
        std::memset(row.material, 0, sizeof row.material);
        return;
    }
    const GlassEntry& glass = catalog.entries[k];
    row.index = glass.index;
    copyText(row.material, kNameBytes, glass.name);
}

} // namespace kiro
