#pragma once

#include <array>

#include "analysis/canvas.h"
#include "model/lens_system.h"

namespace kiro {

constexpr int kCurveLineCount = 6; // lines C..h, slots 1..6

// What the aberration-curve picture shows.
struct CurveView {
    std::array<int, kCurveLineCount> curveLineShown{1, 1, 1, 1, 1, 1}; // slot 1..6 at 0..5
    double curveScale = 50.0; // pixels per mm of focus shift
};

// The grid unit in micrometres for a scale: the power of ten that 50 pixels reach.
double curveGridUnit(double scale);

// Axes, grid columns (with dotted rows when asked), height ticks and the unit label of a
// plot w wide and plotHeight high.
void drawCurveFrame(Canvas& canvas, int w, int plotHeight, double scale, bool dotted);

// Longitudinal spherical aberration of one line: each zone's focus against the d line's
// near-axis focus, zone heights up to 1.01 r upwards.
void drawSphericalAberrationCurve(Canvas& canvas, const SurfaceTable& table,
                                  const Settings& settings, int w, int plotHeight, int line,
                                  double r, double scale);

// Offence against the sine condition on the d line, zone by zone, in black.
void drawSineConditionCurve(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                            int w, int plotHeight, double r, double scale);

// The whole dialog picture: a curve per shown line, then the sine-condition curve.
void paintCurveDialog(Canvas& canvas, const CurveView& state, const SurfaceTable& table,
                      const Settings& settings, int w, int plotHeight);

} // namespace kiro
