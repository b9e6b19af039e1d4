#pragma once

#include <array>

#include "analysis/fan_plot.h"
#include "analysis/spot_diagram.h"
#include "model/lens_system.h"
#include "presenters/spot_dialog_state.h"

namespace kiro {

// The ray-fan dialog while it is open: the lines shown, the three panels' image heights
// and the scroll bar of the offset scale, which follows the spot diagram's magnification.
struct FanDialogState {
    std::array<int, kSpotLineCount> lineShown{1, 1, 1, 1, 1, 1}; // slot 1..6 at 0..5
    std::array<double, kSpotPanelCount> heights{};
    int scrollPos = 15;
};

// Every line shown, the spot diagram's opening heights and scale.
FanDialogState openFanDialog(const SurfaceTable& table);

// The scroll position kept within the bar's range.
int clampedScroll(int pos);

// A mask with bit k for each shown slot k.
int shownLineMask(const std::array<int, kSpotLineCount>& shown);

FanView fanViewOf(const FanDialogState& state);

} // namespace kiro
