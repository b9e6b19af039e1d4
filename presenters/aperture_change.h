#pragma once

#include "model/surface.h"

namespace kiro {

// The two ways of the aperture change.
enum class ApertureChangeMode {
    ScaleDesign = 0,  // every length in proportion to the aperture ("口径の変更")
    ApertureOnly = 1, // only the clear apertures, which changes the F-number ("F値の変更")
};

// The semi-aperture the change starts from: the smallest stop met before the first
// curved mirror or lens, or that row's clear radius when it is smaller. -1 when the scan
// meets neither; not positive means there is nothing to change.
double currentSemiAperture(const SurfaceTable& table);

// Rescales every row whose type is not negative (rows after the end included) from
// semi-aperture oldRadius to newRadius. Both must be finite and above 0, and every
// rescaled value finite; otherwise nothing changes and the result is false.
bool changeAperture(SurfaceTable& table, ApertureChangeMode mode, double oldRadius,
                    double newRadius);

} // namespace kiro
