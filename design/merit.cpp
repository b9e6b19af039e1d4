#include "design/merit.h"

namespace kiro {

double sphericalAberration(const SurfaceTable&, const Settings&, double, double, int) {
    return kUnmeasurable;
}
double chromaticAberration(const SurfaceTable&, const Settings&, double, double, int) { return 0; }
double sineConditionOffence(const SurfaceTable&, const Settings&, double, double, int) {
    return 0;
}
double meanFocus(const SurfaceTable&, const Settings&, double, double, int) { return 0; }
void refocus(SurfaceTable&, const Settings&, int) {}

} // namespace kiro
