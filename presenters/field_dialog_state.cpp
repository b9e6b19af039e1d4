#include "presenters/field_dialog_state.h"

#include <algorithm>

#include "presenters/fan_dialog_state.h"

namespace kiro {

int clampedDistortionStep(int step) {
    return std::clamp(step, 0, static_cast<int>(kDistortionScales.size()) - 1);
}

FieldView fieldViewOf(const FieldDialogState& state) {
    return {shownLineMask(state.lineShown), curveScaleForScroll(state.curvatureScrollPos),
            kDistortionScales[static_cast<size_t>(clampedDistortionStep(state.distortionStep))]};
}

} // namespace kiro
