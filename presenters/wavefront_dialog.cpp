#include "presenters/wavefront_dialog.h"

#include <algorithm>
#include <cmath>

#include "presenters/spot_dialog_state.h"

namespace kiro {

WavefrontDialogState openWavefrontDialog(const SurfaceTable& table) {
    WavefrontDialogState state;
    state.heights = openSpotDialog(table).spotHeight;
    return state;
}

void chooseGrid(WavefrontDialogState& state, int grid) {
    state.grid = grid;
    if (sideFitsGrid(state.side, grid)) {
        return;
    }
    const auto fitting = std::find_if(kFftSideChoices.begin(), kFftSideChoices.end(),
                                      [grid](int side) { return sideFitsGrid(side, grid); });
    state.side = fitting != kFftSideChoices.end() ? *fitting : kMinPaddingFactor * grid;
}

bool chooseSide(WavefrontDialogState& state, int side) {
    if (!sideFitsGrid(side, state.grid)) {
        return false;
    }
    state.side = side;
    return true;
}

double clampStarWaves(double waves) {
    if (!std::isfinite(waves)) {
        return kDefaultStarTestWaves;
    }
    const double stepped = std::round(waves / kStarTestWaveStep) * kStarTestWaveStep;
    return std::clamp(stepped, 0.0, kMaxStarTestWaves);
}

WavefrontRequest wavefrontRequest(const WavefrontDialogState& state) {
    WavefrontRequest request;
    request.heights = state.heights;
    request.lineShown = state.lineShown;
    request.grid = state.grid;
    request.side = state.side;
    request.withMtf = true;
    return request;
}

} // namespace kiro
