#pragma once

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <utility>

#include <gtest/gtest.h>

#include "design/merit.h"
#include "model/glass_catalog.h"
#include "model/lens_system.h"
#include "trace/bundles.h"

namespace kiro::test {

// The catalogue that ships with the program.
inline GlassCatalog shippedCatalog() {
    GlassCatalog catalog;
    EXPECT_EQ(loadGlassCatalog(catalog, KIRO_SOURCE_DIR "/data/glass.dat"), 1);
    return catalog;
}

inline int glassNamed(const GlassCatalog& catalog, const char* name) {
    const int k = findGlass(catalog, name);
    EXPECT_GE(k, 0) << name;
    return k;
}

// A catalogue of glasses with one index at every line (no dispersion), for exact figures.
inline GlassCatalog flatCatalog(std::initializer_list<std::pair<const char*, double>> glasses) {
    GlassCatalog catalog;
    int k = 0;
    for (const auto& [name, n] : glasses) {
        GlassEntry& entry = catalog.entries[static_cast<size_t>(k++)];
        std::strncpy(entry.name, name, kNameBytes - 1);
        entry.index.fill(n);
    }
    return catalog;
}

inline Settings sourceAtInfinity() {
    return Settings{};
}

// Traced focal length of the zone D/1000 (mirrors and lenses only).
inline double nearAxisFocalLength(const SurfaceTable& table, double D, int line) {
    return zonalFocus(table, sourceAtInfinity(), line, D / 1000.0, ZonalMode::OpticalOnly).f;
}

inline double sphericalOver(const SurfaceTable& table, double D, int line) {
    return sphericalAberration(table, sourceAtInfinity(), D / 8.0, D / 2.0, line);
}

// A lone spherical mirror of aperture D and focal length f, the yardstick of the
// corrected reflecting types.
inline SurfaceTable sphericalMirror(double D, double f) {
    SurfaceTable table{};
    table[0].type = SurfaceType::SphericalMirror;
    table[0].radius = 2.0 * f;
    table[0].effectiveRadius = D / 2.0;
    table[1].type = SurfaceType::FlatFocal;
    table[1].z = f;
    table[1].effectiveRadius = D / 8.0;
    return table;
}

// A thin equiconvex lens of the glass with focal length f, the yardstick of the doublet.
inline SurfaceTable singleLens(const GlassEntry& glass, double D, double f, int line) {
    const double r = 2.0 * (glass.index[static_cast<size_t>(line)] - 1.0) * f;
    SurfaceTable table{};
    table[0].type = SurfaceType::SphericalLens;
    table[0].radius = -r;
    table[0].effectiveRadius = D / 2.0;
    table[0].index = glass.index;
    table[1].type = SurfaceType::SphericalLens;
    table[1].z = -D / 10.0;
    table[1].radius = r;
    table[1].effectiveRadius = D / 2.0;
    table[2].type = SurfaceType::FlatFocal;
    table[2].z = -f;
    table[2].effectiveRadius = D / 8.0;
    return table;
}

inline bool sameTable(const SurfaceTable& a, const SurfaceTable& b) {
    for (int i = 0; i < kSurfaceRows; ++i) {
        const Surface& x = a[static_cast<size_t>(i)];
        const Surface& y = b[static_cast<size_t>(i)];
        if (x.type != y.type || x.z != y.z || x.radius != y.radius || x.a2 != y.a2 ||
            x.a3 != y.a3 || x.a4 != y.a4 || x.effectiveRadius != y.effectiveRadius ||
            x.index != y.index || std::strcmp(x.material, y.material) != 0) {
            return false;
        }
    }
    return true;
}

// A recognisable design to check that a failed build leaves it alone.
inline SurfaceTable markerTable() {
    SurfaceTable table{};
    table[0].type = SurfaceType::Stop;
    table[0].z = 12.5;
    table[0].effectiveRadius = 7.0;
    return table;
}

} // namespace kiro::test
