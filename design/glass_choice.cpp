#include "design/glass_choice.h"

#include <cmath>

#include "model/lens_system.h"

namespace kiro {

bool isUsableLine(int line) {
    return line >= WavelengthLine::First && line <= WavelengthLine::Last;
}

DesignResult checkGlass(const GlassCatalog& catalog, int glass, int line, GlassControl control) {
    DesignFailureDetails details;
    details.control = control;
    details.glass = glass;
    if (glass < 0 || glass >= kMaxGlasses) {
        return designFailed(DesignFailure::GlassNotChosen, details);
    }
    const GlassEntry& entry = catalog.entries[static_cast<size_t>(glass)];
    if (!isUsableLine(line)) {
        return designFailed(DesignFailure::UnusableLine, details);
    }
    const double n = entry.index[static_cast<size_t>(line)];
    if (!(n > 1.0) || !std::isfinite(n)) {
        copyText(details.glassName, kNameBytes, entry.name);
        return designFailed(DesignFailure::GlassIndexNotAboveOne, details);
    }
    return designSucceeded();
}

void setGlass(Surface& row, const GlassEntry& entry) {
    row.index = entry.index;
    copyText(row.material, kNameBytes, entry.name);
}

} // namespace kiro
