#pragma once

namespace kiro {

// A double becomes an int by dropping its fraction. False (and out left alone) when the
// value is NaN, infinite or outside the int range, where the conversion is undefined.
bool toInt(double value, int& out);

} // namespace kiro
