#pragma once

#include <array>

#include "analysis/spot_diagram.h"
#include "model/lens_system.h"

// Field curvature (the tangential and sagittal foci against image height) and distortion.
namespace kiro {

constexpr int kFieldSteps = 21; // image heights 0 ... the largest the spot diagram offers
// The two rays around the chief ray lie this fraction of the aperture radius off it.
constexpr double kFocusPupilFraction = 1e-4;

struct FieldPoint {
    double height = 0.0;     // image height (mm)
    double fieldAngle = 0.0; // radians
    // Distance (mm) of each line's focus from the image surface along its axis, positive
    // beyond the surface (further along the light); NaN where it cannot be traced. Index
    // slot - 1.
    std::array<double, kSpotLineCount> tangential{};
    std::array<double, kSpotLineCount> sagittal{};
    double distortion = 0.0; // percent, (y - f tan theta) / (f tan theta); 0 on the axis
};

struct FieldCurves {
    bool valid = false; // false for an empty design or one without a focal length
    double largestHeight = 0.0;
    double focalLength = 0.0; // the information box's (distortion's reference)
    std::array<FieldPoint, kFieldSteps> points{};
};

// The curves of the lines in lineMask (bit k for slot k); other lines stay NaN.
FieldCurves computeFieldCurves(const SurfaceTable& table, const Settings& settings, int lineMask);

} // namespace kiro
