#pragma once

#include <cstring>

#include "model/surface.h"
#include "tests/support/surface_tables.h"

// Small surface tables the trace tests share.
namespace kiro::test {

constexpr int kDLine = 2;

// A concave spherical mirror of radius R at z = 0, then a flat focal plane.
inline SurfaceTable sphericalMirror(double radius, double focalZ, double effectiveRadius) {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalMirror, 0.0, radius, effectiveRadius);
    table[1] = makeRow(SurfaceType::FlatFocal, focalZ, 0.0, 0.0);
    return table;
}

// An air-spaced doublet of 100 mm clear aperture, crown in front, f near 1000 mm.
inline SurfaceTable doublet() {
    SurfaceTable table{};
    table[0] = makeRow(SurfaceType::SphericalLens, 0.0, -600.0, 50.0, 1.5168);
    table[1] = makeRow(SurfaceType::SphericalLens, -12.0, 420.0, 50.0, 1.0);
    table[2] = makeRow(SurfaceType::SphericalLens, -13.0, 415.0, 50.0, 1.6200);
    table[3] = makeRow(SurfaceType::SphericalLens, -20.0, 3000.0, 50.0, 1.0);
    table[4] = makeRow(SurfaceType::FlatFocal, -1000.0, 0.0, 0.0);
    return table;
}

} // namespace kiro::test
