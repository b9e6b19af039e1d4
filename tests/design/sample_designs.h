#pragma once

// Small designs built in code for the merit and optimizer tests and benchmarks. Radii
// follow the program's sign: a sphere's centre lies at vertex z + R, light travels to -z.

#include <array>
#include <cstring>

#include "model/lens_system.h"
#include "tests/support/example_designs.h"

namespace kiro::samples {

using Indices = std::array<double, kIndexSlots>;

// Slots 1 to 6 are C d e F g h, close to the makers' catalogue values; slots 0 and 7
// repeat the ends.
constexpr Indices kAir{1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
constexpr Indices kNBK7{1.51432, 1.51432, 1.51680, 1.51872, 1.52238, 1.52668, 1.53024, 1.53024};
constexpr Indices kNF2{1.61503, 1.61503, 1.62004, 1.62408, 1.63208, 1.64202, 1.65064, 1.65064};

inline Surface row(int32_t type, double z, double radius, double effectiveRadius,
                   const Indices& after = kAir, const char* material = "") {
    Surface s;
    s.type = type;
    s.z = z;
    s.radius = radius;
    s.effectiveRadius = effectiveRadius;
    s.index = after;
    std::strncpy(s.material, material, kNameBytes - 1);
    return s;
}

inline LensSystem emptyDesign() {
    return test::startDesign();
}

// A concave spherical mirror of R = 200 at z = 0, clear radius 50, and a flat focal plane
// at z = 100.
inline LensSystem sphericalMirror() {
    LensSystem lens = emptyDesign();
    lens.surfaces[0] = row(SurfaceType::SphericalMirror, 0.0, 200.0, 50.0);
    lens.surfaces[1] = row(SurfaceType::FlatFocal, 100.0, 0.0, 50.0);
    return lens;
}

// The same aperture on a paraboloid: free of spherical aberration on the axis.
inline LensSystem paraboloidMirror() {
    LensSystem lens = sphericalMirror();
    lens.surfaces[0].type = SurfaceType::ParaboloidMirror;
    return lens;
}

// A 100 mm f/9 air-spaced achromat (N-BK7 crown in front, N-F2 flint behind), thin-lens
// powers from the achromat condition phi1 / V1 + phi2 / V2 = 0 (Kingslake, "Lens Design
// Fundamentals"). Rows: stop, four lens surfaces, flat focal plane.
inline LensSystem achromaticDoublet() {
    LensSystem lens = emptyDesign();
    lens.surfaces[0] = row(SurfaceType::Stop, 0.0, 0.0, 50.0);
    lens.surfaces[1] = row(SurfaceType::SphericalLens, -1.0, -400.0, 52.0, kNBK7, "N-BK7");
    lens.surfaces[2] = row(SurfaceType::SphericalLens, -13.0, 406.0, 52.0);
    lens.surfaces[3] = row(SurfaceType::SphericalLens, -14.0, 400.0, 52.0, kNF2, "N-F2");
    lens.surfaces[4] = row(SurfaceType::SphericalLens, -20.0, 6450.0, 52.0);
    lens.surfaces[5] = row(SurfaceType::FlatFocal, -900.0, 0.0, 30.0);
    return lens;
}

// Three air-spaced elements: the doublet's crown split into two equal crowns.
inline LensSystem airSpacedTriplet() {
    LensSystem lens = emptyDesign();
    lens.surfaces[0] = row(SurfaceType::Stop, 0.0, 0.0, 50.0);
    lens.surfaces[1] = row(SurfaceType::SphericalLens, -1.0, -806.0, 52.0, kNBK7, "N-BK7");
    lens.surfaces[2] = row(SurfaceType::SphericalLens, -9.0, 806.0, 52.0);
    lens.surfaces[3] = row(SurfaceType::SphericalLens, -10.0, -806.0, 52.0, kNBK7, "N-BK7");
    lens.surfaces[4] = row(SurfaceType::SphericalLens, -18.0, 806.0, 52.0);
    lens.surfaces[5] = row(SurfaceType::SphericalLens, -21.0, 400.0, 52.0, kNF2, "N-F2");
    lens.surfaces[6] = row(SurfaceType::SphericalLens, -27.0, 6450.0, 52.0);
    lens.surfaces[7] = row(SurfaceType::FlatFocal, -900.0, 0.0, 30.0);
    return lens;
}

// The doublet followed 600 mm later by a weak crown-flint pair of nearly no power: eight
// spherical lens rows.
inline LensSystem doubletWithRelay() {
    LensSystem lens = achromaticDoublet();
    lens.surfaces[5] = row(SurfaceType::SphericalLens, -600.0, -516.8, 25.0, kNBK7, "N-BK7");
    lens.surfaces[6] = row(SurfaceType::SphericalLens, -606.0, 516.8, 25.0);
    lens.surfaces[7] = row(SurfaceType::SphericalLens, -607.0, 620.0, 25.0, kNF2, "N-F2");
    lens.surfaces[8] = row(SurfaceType::SphericalLens, -611.0, -620.0, 25.0);
    lens.surfaces[9] = row(SurfaceType::FlatFocal, -900.0, 0.0, 30.0);
    return lens;
}

// Four equal biconvex N-BK7 elements (R -2400 and +2400) stacked in air, a flat F2 plate
// behind them and a focal plane: eight spherical lens rows, the shape of design the
// optimizer is most often run on. The catalogue's F2 agrees with the N-F2 indices above
// to five digits.
inline LensSystem biconvexStack() {
    constexpr double kRadius = 2400.0;
    constexpr double kThickness = 8.0;
    constexpr double kPitch = 12.0; // from one element's front to the next one's
    LensSystem lens = emptyDesign();
    for (int element = 0; element < 4; ++element) {
        const double front = -kPitch * element;
        lens.surfaces[2 * element] =
            row(SurfaceType::SphericalLens, front, -kRadius, 50.0, kNBK7, "N-BK7");
        lens.surfaces[2 * element + 1] =
            row(SurfaceType::SphericalLens, front - kThickness, kRadius, 50.0);
    }
    lens.surfaces[8] = row(SurfaceType::FlatLens, -50.0, 0.0, 50.0, kNF2, "F2");
    lens.surfaces[9] = row(SurfaceType::FlatLens, -60.0, 0.0, 50.0);
    lens.surfaces[10] = row(SurfaceType::FlatFocal, -618.0, 0.0, 30.0);
    return lens;
}

// A weak meniscus corrector in front of a concave spherical mirror, focus in front of it.
inline LensSystem correctedMirror() {
    LensSystem lens = emptyDesign();
    lens.surfaces[0] = row(SurfaceType::Stop, 0.0, 0.0, 50.0);
    lens.surfaces[1] = row(SurfaceType::SphericalLens, -10.0, -2000.0, 52.0, kNBK7, "N-BK7");
    lens.surfaces[2] = row(SurfaceType::SphericalLens, -15.0, -2100.0, 52.0);
    lens.surfaces[3] = row(SurfaceType::SphericalMirror, -400.0, 800.0, 55.0);
    lens.surfaces[4] = row(SurfaceType::FlatFocal, 0.0, 0.0, 30.0);
    return lens;
}

// Every field of every row equal bit for bit.
inline bool identicalTables(const SurfaceTable& a, const SurfaceTable& b) {
    for (int i = 0; i < kSurfaceRows; ++i) {
        const Surface& s = a[i];
        const Surface& t = b[i];
        const double u[] = {
            s.x, s.y, s.z, s.nx, s.ny, s.nz, s.radius, s.a2, s.a3, s.a4, s.effectiveRadius};
        const double v[] = {
            t.x, t.y, t.z, t.nx, t.ny, t.nz, t.radius, t.a2, t.a3, t.a4, t.effectiveRadius};
        if (s.type != t.type || std::memcmp(u, v, sizeof u) != 0 ||
            std::memcmp(s.index.data(), t.index.data(), sizeof(double) * kIndexSlots) != 0 ||
            std::memcmp(s.material, t.material, kNameBytes) != 0) {
            return false;
        }
    }
    return true;
}

} // namespace kiro::samples
