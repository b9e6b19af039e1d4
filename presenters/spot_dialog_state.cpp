#include "presenters/spot_dialog_state.h"

#include <algorithm>

namespace kiro {
namespace {

unsigned wholeMillimetres(double value) {
    constexpr double kUnsignedLimit = 4294967295.0;
    if (!(value >= 0.0)) {
        return 0;
    }
    return value >= kUnsignedLimit ? 4294967295u : static_cast<unsigned>(value);
}

} // namespace

SpotDialogState openSpotDialog(const SurfaceTable& table) {
    SpotDialogState state;
    const int last = surfaceCount(table) - 1;
    const double hL = last >= 0 ? table[static_cast<size_t>(last)].effectiveRadius : 0.0;
    // The height boxes hold whole millimetres, and the panels take what the boxes show.
    state.spotHeight = {0.0, static_cast<double>(wholeMillimetres(hL * 0.5)),
                        static_cast<double>(wholeMillimetres(hL))};
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
