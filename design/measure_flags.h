#pragma once

#include "model/bit_flags.h"

namespace kiro {

// The measures a merit sums, as bits: the optimizer's pass and the refracting designer
// take the same flags. The numbers are stored with the dialog's inputs.
enum class MeasureFlag : int {
    Spherical = 1,
    Chromatic = 2,
    SineCondition = 4, // offence against the sine condition (OSC)
    All = Spherical | Chromatic | SineCondition,
};
template <> inline constexpr bool kIsFlagEnum<MeasureFlag> = true;
using MeasureFlags = Flags<MeasureFlag>;

} // namespace kiro
