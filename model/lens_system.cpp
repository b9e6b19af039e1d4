#include "model/lens_system.h"

#include <algorithm>
#include <cstring>

#include "model/surface_kind.h"
#include "model/text_bytes.h"

namespace kiro {

void clearLensSystem(LensSystem& lens) {
    lens.surfaces.fill(Surface{});
    std::memset(lens.description, 0, sizeof lens.description);
    lens.settings.sourceMode = SourceMode::Infinity;
}

void setDefaultSettings(LensSystem& lens) {
    lens.settings = Settings{};
}

int surfaceCount(const SurfaceTable& table) {
    int n = 0;
    while (n < kSurfaceRows && table[n].type >= 0) {
        ++n;
    }
    return n;
}

double apertureRadius(const SurfaceTable& table) {
    double r = table[0].effectiveRadius;
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        const Surface& row = table[i];
        if (isStop(row.type)) {
            r = std::min(r, row.effectiveRadius);
        } else if (isMirrorOrLens(row.type)) {
            return r == 0.0 ? row.effectiveRadius : std::min(r, row.effectiveRadius);
        }
    }
    return r;
}

void copyText(char* field, int fieldBytes, const char* text) {
    const size_t n = fittingPrefix(text, std::strlen(text), static_cast<size_t>(fieldBytes - 1));
    std::memcpy(field, text, n);
    std::memset(field + n, 0, static_cast<size_t>(fieldBytes) - n);
}

} // namespace kiro
