#pragma once

#include <array>
#include <vector>

#include "analysis/spot_diagram.h"
#include "model/lens_system.h"

// Transverse ray fans: for each panel and line, where the rays across the pupil land on
// the image surface against the d line's chief ray.
namespace kiro {

constexpr int kFanPoints = 101; // pupil coordinates -1 ... +1

// Tangential: the pupil diameter in the meridional plane (the plane of the field angle,
// the design's x-z plane), offsets in that plane. Sagittal: the diameter across it.
enum class FanKind { Tangential, Sagittal };

struct RayFan {
    int line = WavelengthLine::d;
    FanKind kind = FanKind::Tangential;
    std::array<double, kFanPoints> offset{}; // micrometres; NaN where the ray is stopped
};

struct FanPanel {
    double height = 0.0;      // image height (mm)
    double fieldAngle = 0.0;  // radians
    bool ready = false;       // false when no chief ray or pupil could be traced
    std::vector<RayFan> fans; // tangential then sagittal, line by line
};

struct RayFans {
    std::array<FanPanel, kSpotPanelCount> panels{};
    double pupilRadius = 0.0; // mm, the aperture radius
};

// Normalised pupil coordinate of fan point k.
constexpr double fanPupilCoordinate(int k) {
    return -1.0 + 2.0 * k / (kFanPoints - 1);
}

// The fans of the lines in lineMask (bit k for slot k) at the three image heights (mm);
// field angles as the spot diagram takes them.
RayFans computeRayFans(const SurfaceTable& table, const Settings& settings,
                       const std::array<double, kSpotPanelCount>& heights, int lineMask);

// Whether slot s is in a line mask.
constexpr bool maskHasLine(int mask, int slot) {
    return (mask >> slot & 1) != 0;
}

} // namespace kiro
