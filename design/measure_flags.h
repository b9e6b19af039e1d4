#pragma once

namespace kiro {

// The measures a merit sums, as bits: the optimizer's pass and the refracting designer
// take the same flags.
namespace MeasureFlag {
constexpr int Spherical = 1;
constexpr int Chromatic = 2;
constexpr int SineCondition = 4; // offence against the sine condition (OSC)
constexpr int All = Spherical | Chromatic | SineCondition;
} // namespace MeasureFlag

} // namespace kiro
