#include "model/int_conversion.h"

#include <climits>

namespace kiro {

bool toInt(double value, int& out) {
    // The open bounds keep every value whose fraction-dropped result fits an int.
    constexpr double kBelowIntMin = static_cast<double>(INT_MIN) - 1.0;
    constexpr double kAboveIntMax = static_cast<double>(INT_MAX) + 1.0;
    if (!(value > kBelowIntMin && value < kAboveIntMax)) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

} // namespace kiro
