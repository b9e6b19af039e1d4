#pragma once

#include "design/design_result.h"
#include "model/glass_catalog.h"

namespace kiro {

// Success when glass names a position in the catalogue and its index at the line is a
// finite number above 1; otherwise a failure that names the control and the glass.
DesignResult checkGlass(const GlassCatalog& catalog, int glass, int line, GlassControl control);

// Gives a lens row the entry's name and eight indices unchanged (entry 0 included).
void setGlass(Surface& row, const GlassEntry& entry);

// A wavelength line the builders can index with: 1 (C) to 6 (h).
bool isUsableLine(int line);

} // namespace kiro
