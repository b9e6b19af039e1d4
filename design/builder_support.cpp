#include "design/builder_support.h"

#include <cmath>

namespace kiro {

Surface makeRow(int type, double z, double radius, double effectiveRadius) {
    Surface row;
    row.type = type;
    row.z = z;
    row.radius = radius;
    row.effectiveRadius = effectiveRadius;
    return row;
}

void clearTable(SurfaceTable& table) {
    table.fill(Surface{});
}

DesignResult noTwoMirrorSolution(double D, double f, double b, double k) {
    DesignFailureDetails details;
    details.aperture = D;
    details.focalLength = f;
    details.ratio = k;
    details.backFocus = b;
    return designFailed(DesignFailure::NoTwoMirrorSolution, details);
}

} // namespace kiro

namespace kiro {

bool isUsableSize(double D, double f) {
    return D > 0.0 && f > 0.0 && std::isfinite(D) && std::isfinite(f);
}

DesignResult unusableSize() {
    return designFailed(DesignFailure::UnusableSize);
}

} // namespace kiro
