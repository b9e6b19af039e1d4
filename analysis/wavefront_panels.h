#pragma once

#include <array>

#include "analysis/point_spread.h"
#include "analysis/spot_diagram.h"
#include "analysis/wavefront.h"

// The wavefront of the spot dialog's three panels at the shown lines: the numbers, and on
// request the MTF of each line with its diffraction limit.
namespace kiro {

struct WavefrontRequest {
    std::array<double, kSpotPanelCount> heights{};               // mm
    std::array<int, kSpotLineCount> lineShown{1, 1, 1, 1, 1, 1}; // slot 1..6 at 0..5
    int grid = kDefaultPupilGrid;                                // N
    int side = kPaddingFactor * kDefaultPupilGrid;               // M
    bool withMtf = false;
};

struct LineWavefront {
    PupilMap map;
    WavefrontNumbers numbers;
    double focusShiftMm = 0.0;
    MtfCurve mtf;
    MtfCurve limit; // the same pupil without aberration
};

struct PanelWavefront {
    bool ready = false;
    double height = 0.0;
    double fieldAngle = 0.0;                           // radians
    std::array<LineWavefront, kSpotLineCount> lines{}; // shown lines only
};

struct WavefrontSet {
    double fNumber = 0.0; // as the information text gives it; 0 when there is none
    bool focused = false; // false without a focal length: no panel is ready
    std::array<PanelWavefront, kSpotPanelCount> panels{};
};

WavefrontSet measureWavefronts(const SurfaceTable& table, const Settings& settings,
                               const WavefrontRequest& request);

// The mean MTF of the panel's shown lines (and of their limits) at one frequency.
MtfPoint panelMtf(const PanelWavefront& panel, const std::array<int, kSpotLineCount>& shown,
                  double cyclesPerMm, bool limit);

// The verdict's threshold on the best-focus Strehl ratio.
constexpr double kDiffractionLimitedStrehl = 0.8;

} // namespace kiro
