#include "presenters/curve_dialog_state.h"

#include <algorithm>

namespace kiro {

double curveScaleForScroll(int pos) {
    pos = std::clamp(pos, kCurveScrollMin, kCurveScrollMax);
    if (pos <= 59) {
        return 5.0 * pos;
    }
    if (pos <= 119) {
        return 10.0 * pos - 300.0;
    }
    return 20.0 * pos - 1500.0;
}

} // namespace kiro
