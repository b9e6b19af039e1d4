#pragma once

#include "analysis/canvas.h"
#include "model/lens_system.h"
#include "trace/parallel.h"

namespace kiro {

constexpr int kLightFloorMin = 0;
constexpr int kLightFloorMax = 90;

// The dialog's client area as kiro-cli renders it by default; the plot leaves the bottom
// kLightButtonStrip pixels to OK, so its height is the rest.
constexpr int kLightDialogWidth = 520;
constexpr int kLightDialogHeight = 400;
constexpr int kLightButtonStrip = 40;

// Clear radius of the last focal surface (code 2 or 3) in use; -1 when there is none.
double fieldRadius(const SurfaceTable& table);

// Radius of the beam: the smallest clear radius among the stops before the first row of
// code 11 or more, and that row's; -1 when neither exists. Codes 1 to 10 are passed over.
double lightAperture(const SurfaceTable& table);

// Width of the plotted field (mm): the field radius when there is one, else the light
// aperture when positive, else -1.
double plottedFieldRadius(const SurfaceTable& table);

// Relative illumination across the image field, 0..R mm to the right and floor..100 %
// downwards, on a plot w wide and plotHeight high. The curve is left out when it has no
// meaning: R not positive, no beam radius, or no focal length. The 21 light amounts are
// computed on `threads` threads before anything is drawn.
void drawLightAmountCurve(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                          int w, int plotHeight, double fieldWidth, int floor,
                          int threads = paintThreadCount());

// The dialog picture: the curve over the design's plotted field radius.
void paintLightDialog(Canvas& canvas, const SurfaceTable& table, const Settings& settings, int w,
                      int plotHeight, int floor, int threads = paintThreadCount());

} // namespace kiro
