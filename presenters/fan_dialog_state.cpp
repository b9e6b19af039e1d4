#include "presenters/fan_dialog_state.h"

#include <algorithm>

namespace kiro {

FanDialogState openFanDialog(const SurfaceTable& table) {
    FanDialogState state;
    const SpotDialogState spot = openSpotDialog(table);
    state.heights = spot.spotHeight;
    state.scrollPos = spot.spotScrollPos;
    return state;
}

int clampedScroll(int pos) {
    return std::clamp(pos, kSpotScrollMin, kSpotScrollMax);
}

int shownLineMask(const std::array<int, kSpotLineCount>& shown) {
    int mask = 0;
    for (size_t k = 0; k < shown.size(); ++k) {
        if (shown[k] == 1) {
            mask |= 1 << (k + WavelengthLine::First);
        }
    }
    return mask;
}

FanView fanViewOf(const FanDialogState& state) {
    return {shownLineMask(state.lineShown), state.heights,
            spotMagnificationForScroll(clampedScroll(state.scrollPos))};
}

} // namespace kiro
