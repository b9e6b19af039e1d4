#pragma once

#include "model/lens_system.h"

namespace kiro {

// Failure value of sphericalAberration: it never wins a minimising comparison.
constexpr double kUnmeasurable = 1e10;

// Line masks: bit k selects line slot k.
constexpr int lineBit(int line) { return 1 << line; }

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
