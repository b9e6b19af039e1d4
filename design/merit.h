#pragma once

#include "model/lens_system.h"

namespace kiro {

// Failure value of sphericalAberration: it never wins a minimising comparison.
constexpr double kUnmeasurable = 1e10;

// Line masks: bit k selects line slot k.
constexpr int lineBit(int line) {
    return 1 << line;
}

// The zone set of a height range: hMin + k * step for k = 0 .. 8 with
// step = (hMax - hMin) / 8.01, so the outermost zone lies just inside hMax.
constexpr int kZoneCount = 9;
constexpr double kZoneDivisor = 8.01;
inline double zoneStep(double hMin, double hMax) {
    return (hMax - hMin) / kZoneDivisor;
}
// Computed from k rather than accumulated, so every caller gets the same heights.
inline double zoneHeight(double hMin, double step, int k) {
    return hMin + k * step;
}

// Lowest and highest of the focus positions added so far; a NaN position changes neither.
struct FocusSpread {
    bool any = false;
    double lowest = 0.0;
    double highest = 0.0;

    void add(double z) {
        if (!any) {
            lowest = highest = z;
            any = true;
        } else if (z < lowest) {
            lowest = z;
        } else if (z > highest) {
            highest = z;
        }
    }
    double width() const { return highest - lowest; }
};

// The foci of the lines in lineMask at zone height h, traced through mirrors and lenses
// only; lines whose rays die are left out.
FocusSpread zoneLineSpread(const SurfaceTable& table, const Settings& settings, double h,
                           int lineMask);

// The measures trace nine zones from hMin to hMax; settings supply the light source
// that zonalFocus reads.
double sphericalAberration(const SurfaceTable& table, const Settings& settings, double hMin,
                           double hMax, int line);
double chromaticAberration(const SurfaceTable& table, const Settings& settings, double hMin,
                           double hMax, int lineMask);
double sineConditionOffence(const SurfaceTable& table, const Settings& settings, double hMin,
                            double hMax, int line);
double meanFocus(const SurfaceTable& table, const Settings& settings, double hMin, double hMax,
                 int line);

// Moves the first focal-surface row (code 2 or 3) to the mean focus at the line.
void refocus(SurfaceTable& table, const Settings& settings, int line);

} // namespace kiro
