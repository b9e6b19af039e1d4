#pragma once

#include <array>

#include "analysis/wavefront_view.h"
#include "model/lens_system.h"

// The rules of the dialog "波面・MTF": what it opens with, which N, M and k it offers and
// what it asks the core for.
namespace kiro {

// The pupil grids N and the FFT sides M the dialog offers; M is offered from 2 N up, so
// that the PSF's transform (the MTF) does not wrap around.
inline constexpr std::array<int, 4> kPupilGridChoices{32, 64, 128, 256};
inline constexpr std::array<int, 4> kFftSideChoices{128, 256, 512, 1024};
static_assert(kPupilGridChoices.back() <= kMaxFigureGrid);
constexpr int kMinPaddingFactor = 2;
constexpr double kMaxStarTestWaves = 20.0;
constexpr double kStarTestWaveStep = 0.5;

struct WavefrontDialogState {
    std::array<double, kSpotPanelCount> heights{};               // mm
    std::array<int, kSpotLineCount> lineShown{1, 1, 1, 1, 1, 1}; // slot 1..6 at 0..5
    int grid = kDefaultPupilGrid;
    int side = kPaddingFactor * kDefaultPupilGrid;
    double starWaves = kDefaultStarTestWaves;
    WavefrontPicture picture = WavefrontPicture::Wavefront;
    PsfScale scale = PsfScale::Linear;
};

// The spot dialog's heights and every line; N 64, M 256, k 4, the OPD map, linear PSF.
WavefrontDialogState openWavefrontDialog(const SurfaceTable& table);

// Whether M may go with N.
constexpr bool sideFitsGrid(int side, int grid) {
    return side >= kMinPaddingFactor * grid;
}

// A new N keeps M when it still fits, else takes the smallest M that does.
void chooseGrid(WavefrontDialogState& state, int grid);
// A new M is taken only when it fits N; false (state unchanged) otherwise.
bool chooseSide(WavefrontDialogState& state, int side);
// k within 0..20 on half waves.
double clampStarWaves(double waves);

WavefrontRequest wavefrontRequest(const WavefrontDialogState& state);

} // namespace kiro
