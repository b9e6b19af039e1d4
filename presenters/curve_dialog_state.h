#pragma once

#include "analysis/aberration_curves.h"

namespace kiro {

constexpr int kCurveScrollMin = 1;
constexpr int kCurveScrollMax = 150;

// The dialog's client area as kiro-cli renders it by default; the plot leaves the bottom
// kCurveButtonStrip pixels to the scroll bar and OK, so its height is the rest.
constexpr int kCurveDialogWidth = 560;
constexpr int kCurveDialogHeight = 600;
constexpr int kCurveButtonStrip = 40;

// State of the aberration-curve dialog while it is open: the picture and its scroll bar.
struct CurveDialogState : CurveView {
    int curveScrollPos = 10;
};

// Pixels per mm of a scroll position (kept within 1..150).
double curveScaleForScroll(int pos);

} // namespace kiro
