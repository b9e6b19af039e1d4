#pragma once

#include <array>

#include "analysis/field_plot.h"
#include "analysis/spot_diagram.h"
#include "presenters/curve_dialog_state.h"

namespace kiro {

// The distortion scale's steps: pixels per percent, 1-2-5 from 1 to 10000.
constexpr std::array<double, 13> kDistortionScales{1,   2,   5,    10,   20,   50,   100,
                                                   200, 500, 1000, 2000, 5000, 10000};
constexpr int kDefaultDistortionStep = 6; // 100 pixels per percent

// The field-curvature and distortion dialog while it is open: the lines shown, the focus
// shift's scroll bar (as the aberration curves') and the distortion scale's step.
struct FieldDialogState {
    std::array<int, kSpotLineCount> lineShown{1, 1, 1, 1, 1, 1};
    int curvatureScrollPos = 10;
    int distortionStep = kDefaultDistortionStep;
};

// The step kept within the table.
int clampedDistortionStep(int step);

FieldView fieldViewOf(const FieldDialogState& state);

} // namespace kiro
