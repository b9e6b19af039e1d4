#pragma once

#include <array>
#include <cstdint>

namespace kiro {

constexpr int kSurfaceRows = 16;
constexpr int kIndexSlots = 8;
constexpr int kNameBytes = 64;         // material and glass names, terminator included
constexpr int kDescriptionBytes = 512; // description, terminator included

// Surface type codes. Codes below 10 never change a ray's direction, 10 to 13 reflect,
// 20 to 22 refract. A negative code ends the table.
namespace SurfaceType {
constexpr int32_t End = -1;
constexpr int32_t Stop = 0;
constexpr int32_t Obstruction = 1;
constexpr int32_t FlatFocal = 2;
constexpr int32_t SphericalFocal = 3;
constexpr int32_t FlatMirror = 10;
constexpr int32_t SphericalMirror = 11;
constexpr int32_t ParaboloidMirror = 12;
constexpr int32_t AsphericMirror = 13;
constexpr int32_t FlatLens = 20;
constexpr int32_t SphericalLens = 21;
constexpr int32_t AsphericLens = 22;
constexpr int32_t FirstOptical = 10; // mirrors and lenses start here
constexpr int32_t FirstRefracting = 20;
} // namespace SurfaceType

// Index slots of the spectral lines. Slots 0 and 7 travel with the glass data only.
namespace WavelengthLine {
constexpr int C = 1;
constexpr int d = 2;
constexpr int e = 3;
constexpr int F = 4;
constexpr int g = 5;
constexpr int h = 6;
constexpr int Reference = d;
constexpr int First = C;
constexpr int Last = h;
} // namespace WavelengthLine

// One row of the surface table: the surface, and the medium that follows it.
struct Surface {
    int32_t type = SurfaceType::End;
    double x = 0.0, y = 0.0, z = 0.0;    // vertex (mm); z is the position on the axis
    double nx = 0.0, ny = 0.0, nz = 1.0; // normal of a plane surface
    double radius = 0.0;                 // radius of curvature, or a1 for aspheric rows
    double a2 = 0.0, a3 = 0.0, a4 = 0.0; // 4th, 6th and 8th order aspheric coefficients
    double effectiveRadius = 0.0;        // half the clear diameter (mm)
    std::array<double, kIndexSlots> index{1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
    char material[kNameBytes] = {}; // glass after the surface; empty for air
};

using SurfaceTable = std::array<Surface, kSurfaceRows>;

} // namespace kiro
