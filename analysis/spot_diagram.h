#pragma once

#include <array>

#include "analysis/canvas.h"
#include "model/lens_system.h"
#include "trace/parallel.h"

namespace kiro {

constexpr int kSpotLineCount = 6; // lines C..h, slots 1..6
constexpr int kSpotPanelCount = 3;
constexpr int kSpotScrollMin = 1;
constexpr int kSpotScrollMax = 150;

// The dialog's client area, which the panel geometry is laid out in; kiro-cli renders
// this size unless told otherwise.
constexpr int kSpotDialogWidth = 600;
constexpr int kSpotDialogHeight = 300;

// State of the spot-diagram dialog while it is open.
struct SpotDialogState {
    std::array<int, kSpotLineCount> spotLineShown{1, 1, 1, 1, 1, 1}; // slot 1..6 at 0..5
    std::array<double, kSpotPanelCount> spotHeight{};                // mm, left to right
    double spotMagnification = 375.0; // pixels per mm of landing offset
    int spotScrollPos = 15;
    bool spotAiryShown = false; // the Airy disks and the spot radii; off at every opening
};

// Drawing colour of a line slot, shared by the spot diagram and the aberration curves.
Colour lineColour(int slot);

// The state the dialog opens with: every line shown, the panels at image heights 0,
// half and all of the last row's clear radius (as whole millimetres), magnification 375.
SpotDialogState openSpotDialog(const SurfaceTable& table);

// Magnification of a scroll position (kept within 1..150).
double spotMagnificationForScroll(int pos);

// The scale label "NNNum" and half the scale square's side in pixels for a
// magnification; false when the magnification gives no drawable square.
bool spotScaleSquare(double magnification, int& sideMicrometres, int& halfSide);

// Plots one line's spot at one field angle (radians) around a panel centre: each ray of
// a square pupil grid that comes through every row lands as one pixel, offset from the
// d-line reference point by magnification pixels per mm; dots beyond 100 pixels are left
// out. gridMode 0: gridCount points across the diameter; 1: a pitch of gridCount mm.
void plotSpot(Canvas& canvas, const SurfaceTable& table, const Surface& imageRow, int gridMode,
              int gridCount, int centreX, int centreY, double magnification, double fieldAngle,
              int line);

// The whole dialog picture: separators, scale squares, and the spots of every shown line
// at the three panels with their field-angle labels. The rays are traced on `threads`
// threads and drawn afterwards in the same order as one thread would draw them.
// With spotAiryShown, each panel then gets the d-line Airy disk around its reference point
// (when it fits the panel) and, underneath, the RMS and geometric radii of the shown lines
// together and the Airy radius.
void paintSpotDialog(Canvas& canvas, const SpotDialogState& state, const SurfaceTable& table,
                     const Settings& settings, int threads = paintThreadCount());

} // namespace kiro
