#pragma once

#include <array>

#include "design/measure_flags.h"
#include "model/surface.h"

namespace kiro {

// What the optimizer dialog sets. One instance lives for the program's run; it is not
// stored in design files.
struct OptimizerSettings {
    bool minimiseSpherical = true;
    int sphericalLine = WavelengthLine::d; // also the line of the OSC measure and the refocus
    bool minimiseChromatic = true;
    std::array<bool, 6> chromaticLines{false, true, false, true, false, false}; // C d e F g h
    bool minimiseOsc = false;
    double changeRangePercent = 5.0;
    bool varySphericalLenses = true;
    bool varySphericalMirrors = true;
    bool varyLensSpacings = false; // stored and passed on; varies nothing
};

// Bits of the kind flags of a pass: which rows may vary.
enum class KindFlag : int {
    SphericalLenses = 1,
    SphericalMirrors = 2,
    LensSpacings = 4,
};
template <> inline constexpr bool kIsFlagEnum<KindFlag> = true;
using KindFlags = Flags<KindFlag>;

// What one pass receives from the settings.
struct PassParameters {
    double range = 0.05; // relative change of the outer levels, e.g. 0.05 for 5 %
    int sphericalLine = WavelengthLine::d;
    int chromaticMask = 0;
    MeasureFlags measureFlags;
    KindFlags kindFlags;
};

int chromaticMask(const OptimizerSettings& settings);
MeasureFlags measureFlags(const OptimizerSettings& settings);
KindFlags kindFlags(const OptimizerSettings& settings);
PassParameters passParameters(const OptimizerSettings& settings, double range);

// Passes of the whole optimization: the range starts at percent / 100 and is halved
// while it stays at least 1 %; the first pass always runs.
constexpr double kLastPassRange = 0.01;
constexpr double kRangeHalving = 0.5;
int passCount(double rangePercent);

} // namespace kiro
