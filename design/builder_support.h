#pragma once

#include "design/design_result.h"
#include "design/two_mirror.h"
#include "model/lens_system.h"

namespace kiro {

// Zones the reflecting and catadioptric builders measure over: D/8 to D/2.
constexpr double kInnerZoneOfAperture = 1.0 / 8.0;
constexpr double kOuterZoneOfAperture = 1.0 / 2.0;

// Chromatic line sets of the catadioptric tuning: C, e and h; C and h.
constexpr int kMaskCeh =
    (1 << WavelengthLine::C) | (1 << WavelengthLine::e) | (1 << WavelengthLine::h);
constexpr int kMaskCh = (1 << WavelengthLine::C) | (1 << WavelengthLine::h);

// A row with the given code, position, radius (or a1) and clear radius; every other field
// keeps its cleared value.
Surface makeRow(int type, double z, double radius, double effectiveRadius);

// Empties every row, as clearing the design does.
void clearTable(SurfaceTable& table);

DesignResult noTwoMirrorSolution(double D, double f, double b, double k);

} // namespace kiro

namespace kiro {

// Aperture and focal length both finite and above 0; the builders refuse anything else.
bool isUsableSize(double D, double f);
DesignResult unusableSize();

} // namespace kiro
