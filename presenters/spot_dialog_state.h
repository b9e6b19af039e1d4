#pragma once

#include "analysis/spot_diagram.h"

namespace kiro {

constexpr int kSpotScrollMin = 1;
constexpr int kSpotScrollMax = 150;

// The dialog's client area, which the panel geometry is laid out in; kiro-cli renders
// this size unless told otherwise.
constexpr int kSpotDialogWidth = 600;
constexpr int kSpotDialogHeight = 300;

// State of the spot-diagram dialog while it is open: the picture and its scroll bar.
struct SpotDialogState : SpotView {
    int spotScrollPos = 15;
};

// The state the dialog opens with: every line shown, the panels at image heights 0,
// half and all of the last row's clear radius (as whole millimetres), magnification 375.
SpotDialogState openSpotDialog(const SurfaceTable& table);

// Magnification of a scroll position (kept within 1..150).
double spotMagnificationForScroll(int pos);

} // namespace kiro
