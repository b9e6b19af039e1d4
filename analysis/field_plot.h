#pragma once

#include "analysis/canvas.h"
#include "model/lens_system.h"

namespace kiro {

// The picture kiro-cli renders by default and the dialog lays its plots out in.
constexpr int kFieldPictureWidth = 560;
constexpr int kFieldPictureHeight = 400;

// What the field-curvature and distortion picture shows.
struct FieldView {
    int lineMask = 0x7E;            // bit k for slot k
    double curvatureScale = 50.0;   // pixels per mm of focus shift
    double distortionScale = 100.0; // pixels per percent of distortion
};

// Left: each shown line's tangential (thick) and sagittal (thin) focus against image
// height (upwards), the focus shift to the right when it lies beyond the image surface.
// Right: the d line's distortion against image height, in black.
void paintFieldCurves(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                      const FieldView& view, int w = kFieldPictureWidth,
                      int h = kFieldPictureHeight);

} // namespace kiro
