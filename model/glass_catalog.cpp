#include "model/glass_catalog.h"

namespace kiro {

int loadGlassCatalog(GlassCatalog&, const char*) { return 0; }
int glassCount(const GlassCatalog&) { return 0; }
int findGlass(const GlassCatalog&, const char*) { return -1; }
void applyGlass(Surface&, const GlassCatalog&, int) {}

} // namespace kiro
