#pragma once

#include "analysis/canvas.h"
#include "model/lens_system.h"
#include "trace/ray.h"

namespace kiro {

// The side view's transform: design point (z, x) maps to column originX - scale*z and
// row originY - scale*x, so the light (travelling towards -z) runs left to right.
struct LayoutView {
    double scale = 0.0; // pixels per mm
    double originX = 0.0, originY = 0.0;
    double fitScale = 0.0, fitOriginX = 0.0, fitOriginY = 0.0;
    // Frame of the last fit (mm), margins included; zooming leaves it alone.
    double zMax = 0.0, zMin = 0.0;
    double xMax = 0.0, xMin = 0.0;
};

enum class LayoutMode { Fit, ZoomIn, ZoomOut };

constexpr double kMaxLayoutScale = 16.0; // pixels per mm a zoom step reaches at most

// Fit to a client area of a x b pixels, or zoom in or out about pixel (a, b) of a
// clientWidth x clientHeight area. A zero scale (a client area without width or height)
// is not zoomed.
void updateLayoutView(LayoutView& view, const SurfaceTable& table, LayoutMode mode, int a, int b,
                      int clientWidth, int clientHeight);

// A design point of the side view: z along the axis, x across it (mm).
struct LayoutPoint {
    double z = 0.0;
    double x = 0.0;
};

// The design point shown at pixel (column, row); not finite while the view has no scale.
LayoutPoint layoutPointAt(const LayoutView& view, double column, double row);

// Zooms by factor about pixel (column, row), which keeps showing the same design point
// (the mouse wheel's zoom). The scale stays between the fitted scale and kMaxLayoutScale;
// reaching the fitted scale returns to the fitted view.
void zoomLayoutAbout(LayoutView& view, double factor, double column, double row);

// The whole side view: surface profiles, then the ray fan.
void drawLayout(Canvas& canvas, const LayoutView& view, const SurfaceTable& table,
                const Settings& settings);

// The optical axis and each row's profile, each row with the pen of its kind.
void drawSurfaceProfiles(Canvas& canvas, const LayoutView& view, const SurfaceTable& table);

// settings.rayCount rays of the d line spread over row 0's aperture, from infinity at
// the incidence angle or from the point source.
void drawRayFan(Canvas& canvas, const LayoutView& view, const SurfaceTable& table,
                const Settings& settings);

// One ray traced through every row, drawn as a polyline through its positions.
void drawRayPath(Canvas& canvas, const LayoutView& view, const SurfaceTable& table, Ray ray);

} // namespace kiro
