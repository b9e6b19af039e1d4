#include "presenters/spot_dialog_state.h"

#include <algorithm>

namespace kiro {
SpotDialogState openSpotDialog(const SurfaceTable& table) {
    SpotDialogState state;
    state.spotHeight = spotOpeningHeights(table);
    state.spotScrollPos = 15;
    state.spotMagnification = spotMagnificationForScroll(state.spotScrollPos);
    return state;
}

double spotMagnificationForScroll(int pos) {
    pos = std::clamp(pos, kSpotScrollMin, kSpotScrollMax);
    if (pos <= 40) {
        return 25.0 * pos;
    }
    if (pos <= 70) {
        return 100.0 * (pos - 30);
    }
    if (pos <= 110) {
        return 400.0 * (pos - 60);
    }
    if (pos <= 130) {
        return 1000.0 * (pos - 90);
    }
    return 4000.0 * (pos - 120);
}

} // namespace kiro
