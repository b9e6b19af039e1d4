#pragma once

#include <array>

#include "analysis/canvas.h"
#include "analysis/spot_diagram.h"
#include "model/lens_system.h"

namespace kiro {

// The picture kiro-cli renders by default and the dialog lays its plots out in.
constexpr int kFanPictureWidth = 600;
constexpr int kFanPictureHeight = 440;

// What the ray-fan picture shows.
struct FanView {
    int lineMask = 0x7E;                           // bit k for slot k
    std::array<double, kSpotPanelCount> heights{}; // image heights (mm)
    double scale = 375.0;                          // pixels per mm of transverse offset
};

// Three panels side by side (the image heights), the tangential fan above the sagittal,
// each the offset (up) against the pupil coordinate -1 ... +1 (right) in the lines'
// colours; a stopped ray breaks its curve. Under the plots the grid unit.
void paintRayFans(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                  const FanView& view, int w = kFanPictureWidth, int h = kFanPictureHeight);

} // namespace kiro
