#include "design/glass_choice.h"

#include <cmath>
#include <cstring>

#include "model/lens_system.h"
#include "model/text_bytes.h"

namespace kiro {

bool isUsableLine(int line) {
    return line >= WavelengthLine::First && line <= WavelengthLine::Last;
}

DesignResult checkGlass(const GlassCatalog& catalog, int glass, int line, const char* control) {
    if (glass < 0 || glass >= kMaxGlasses) {
        return designFailed("「%s」が選ばれていません。", control);
    }
    const GlassEntry& entry = catalog.entries[static_cast<size_t>(glass)];
    const char* name = entry.name;
    // A name that is not UTF-8 (CP932 catalogues) would spoil the message's encoding.
    if (name[0] == '\0' || !isValidUtf8(name, std::strlen(name))) {
        name = nullptr;
    }
    if (!isUsableLine(line)) {
        return designFailed("基準の光の波長が正しくありません。");
    }
    const double n = entry.index[static_cast<size_t>(line)];
    if (!(n > 1.0) || !std::isfinite(n)) {
        if (name != nullptr) {
            return designFailed("「%s」の %s は基準の波長での屈折率が1を超えないため使えません。",
                                control, name);
        }
        return designFailed(
            "「%s」のガラス（%d番）は基準の波長での屈折率が1を超えないため使えません。", control,
            glass);
    }
    return designSucceeded();
}

void setGlass(Surface& row, const GlassEntry& entry) {
    row.index = entry.index;
    copyText(row.material, kNameBytes, entry.name);
}

} // namespace kiro
