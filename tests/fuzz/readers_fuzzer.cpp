// Feeds every input to both text readers. Run, for example:
//   kiro_readers_fuzzer -max_total_time=60 corpus/ examples/ tests/data/ data/
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/design_file.h"
#include "model/glass_catalog.h"

namespace {

// The readers' promises that do not depend on the input: a refused file changes nothing,
// every text field terminated, the table and the catalogue within their sizes, no
// non-finite number, and a written design read back whole and bit for bit.
void checkDesign(const char* data, size_t size) {
    kiro::LensSystem lens;
    kiro::clearLensSystem(lens);
    std::strcpy(lens.description, "kept");
    const std::string before = kiro::designFileText(lens);
    const kiro::DesignReadResult read = kiro::readDesignBytes(lens, data, size);
    if (!read.accepted()) {
        if (kiro::designFileText(lens) != before) {
            std::abort();
        }
        return;
    }
    if (std::memchr(lens.description, '\0', sizeof lens.description) == nullptr ||
        kiro::surfaceCount(lens.surfaces) > kiro::kSurfaceRows ||
        !kiro::designNumbersFinite(lens)) {
        std::abort();
    }
    const std::string written = kiro::designFileText(lens);
    kiro::LensSystem again;
    if (kiro::readDesignBytes(again, written.data(), written.size()).status !=
            kiro::DesignReadStatus::Read ||
        kiro::designFileText(again) != written) {
        std::abort();
    }
}

void checkCatalogue(const char* data, size_t size) {
    kiro::GlassCatalog catalog;
    if (kiro::loadGlassCatalogText(catalog, data, size) != 1 ||
        kiro::glassCount(catalog) > kiro::kMaxGlasses) {
        std::abort();
    }
    for (const kiro::GlassEntry& entry : catalog.entries) {
        if (std::memchr(entry.name, '\0', sizeof entry.name) == nullptr) {
            std::abort();
        }
    }
    kiro::findGlass(catalog, catalog.entries[0].name);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    checkDesign(text, size);
    checkCatalogue(text, size);
    return 0;
}
