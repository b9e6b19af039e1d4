#pragma once

#include <array>

#include "analysis/canvas.h"
#include "model/lens_system.h"
#include "trace/parallel.h"

namespace kiro {

constexpr int kSpotLineCount = 6; // lines C..h, slots 1..6
constexpr int kSpotPanelCount = 3;

// What the spot picture shows.
struct SpotView {
    std::array<int, kSpotLineCount> spotLineShown{1, 1, 1, 1, 1, 1}; // slot 1..6 at 0..5
    std::array<double, kSpotPanelCount> spotHeight{};                // mm, left to right
    double spotMagnification = 375.0; // pixels per mm of landing offset
    bool spotAiryShown = false;       // the Airy disks and the spot radii; off at every opening
};

// Drawing colour of a line slot, shared by the spot diagram and the aberration curves.
Colour lineColour(int slot);

// The panels' image heights at the dialog's opening: 0, half and all of the last row's
// clear radius, as the whole millimetres its height boxes show. The last is the largest
// image height the field curves and the Seidel sums take.
std::array<double, kSpotPanelCount> spotOpeningHeights(const SurfaceTable& table);

// The scale label "NNNum" and half the scale square's side in pixels for a
// magnification; false when the magnification gives no drawable square.
bool spotScaleSquare(double magnification, int& sideMicrometres, int& halfSide);

// Plots one line's spot at one field angle (radians) around a panel centre: each ray of
// a square pupil grid that comes through every row lands as one pixel, offset from the
// d-line reference point by magnification pixels per mm; dots beyond 100 pixels are left
// out. gridCount is the number of points across the diameter or the pitch in mm.
void plotSpot(Canvas& canvas, const SurfaceTable& table, const Surface& imageRow,
              SpotGridMode gridMode, int gridCount, int centreX, int centreY, double magnification,
              double fieldAngle, int line);

// The whole dialog picture: separators, scale squares, and the spots of every shown line
// at the three panels with their field-angle labels. The rays are traced on `threads`
// threads and drawn afterwards in the same order as one thread would draw them.
// With spotAiryShown, each panel then gets the d-line Airy disk around its reference point
// (when it fits the panel) and, underneath, the RMS and geometric radii of the shown lines
// together and the Airy radius.
void paintSpotDialog(Canvas& canvas, const SpotView& state, const SurfaceTable& table,
                     const Settings& settings, int threads = paintThreadCount());

} // namespace kiro
