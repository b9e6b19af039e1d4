#include "presenters/aperture_change.h"

#include <cmath>

#include "model/surface_kind.h"

namespace kiro {
namespace {

bool isFinite(const Surface& row) {
    for (double v :
         {row.x, row.y, row.z, row.radius, row.a2, row.a3, row.a4, row.effectiveRadius}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

void rescaleRow(Surface& row, ApertureChangeMode mode, double o, double n) {
    row.effectiveRadius = n * row.effectiveRadius / o;
    if (mode != ApertureChangeMode::ScaleDesign) {
        return;
    }
    row.x = n * row.x / o;
    row.y = n * row.y / o;
    row.z = n * row.z / o;
    if (!isAspheric(row.type)) {
        row.radius = n * row.radius / o;
        return;
    }
    // The sag a1 s^2 + a2 s^4 + a3 s^6 + a4 s^8 keeps its shape when s and the sag both
    // grow by n / o: each coefficient shrinks by (o / n) to one less than its power.
    const double t = o / n;
    setAsphericA1(row, o * asphericA1(row) / n);
    row.a2 = std::pow(t, 3) * row.a2;
    row.a3 = std::pow(t, 5) * row.a3;
    row.a4 = std::pow(t, 7) * row.a4;
}

} // namespace

double currentSemiAperture(const SurfaceTable& table) {
    double q = -1.0;
    for (const Surface& row : table) {
        if (row.type < 0) {
            break;
        }
        const bool curvedOrLens = isCurvedMirrorOrLens(row.type);
        if (isStop(row.type) || curvedOrLens) {
            if (q < 0.0 || row.effectiveRadius < q) {
                q = row.effectiveRadius;
            }
        }
        if (curvedOrLens) {
            break;
        }
    }
    return q;
}

bool changeAperture(SurfaceTable& table, ApertureChangeMode mode, double oldRadius,
                    double newRadius) {
    if (!(oldRadius > 0.0 && newRadius > 0.0) || !std::isfinite(oldRadius) ||
        !std::isfinite(newRadius)) {
        return false;
    }
    SurfaceTable changed = table;
    for (Surface& row : changed) {
        if (row.type < 0) {
            continue;
        }
        rescaleRow(row, mode, oldRadius, newRadius);
        if (!isFinite(row)) {
            return false;
        }
    }
    table = changed;
    return true;
}

} // namespace kiro
