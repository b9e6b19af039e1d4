#include "trace/bundles.h"

namespace kiro {

ZonalFocus zonalFocus(const SurfaceTable&, const Settings&, int, double, int) { return {}; }
double sineFocusDeviation(const SurfaceTable&, double, int, double) { return 0.0; }
double lightAmount(const SurfaceTable&, const Settings&, double, double, int) { return 0.0; }
Vec3 crossPoint(const Ray&, const Ray&) { return {}; }

} // namespace kiro
