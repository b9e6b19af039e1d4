#include "design/optimizer_settings.h"

#include <cmath>

namespace kiro {

int chromaticMask(const OptimizerSettings& settings) {
    int mask = 0;
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        if (settings.chromaticLines[line - WavelengthLine::First]) {
            mask |= 1 << line;
        }
    }
    return mask;
}

MeasureFlags measureFlags(const OptimizerSettings& settings) {
    return MeasureFlags()
        .set(MeasureFlag::Spherical, settings.minimiseSpherical)
        .set(MeasureFlag::Chromatic, settings.minimiseChromatic)
        .set(MeasureFlag::SineCondition, settings.minimiseOsc);
}

KindFlags kindFlags(const OptimizerSettings& settings) {
    return KindFlags()
        .set(KindFlag::SphericalLenses, settings.varySphericalLenses)
        .set(KindFlag::SphericalMirrors, settings.varySphericalMirrors)
        .set(KindFlag::LensSpacings, settings.varyLensSpacings);
}

PassParameters passParameters(const OptimizerSettings& settings, double range) {
    PassParameters p;
    p.range = range;
    p.sphericalLine = settings.sphericalLine;
    p.chromaticMask = chromaticMask(settings);
    p.measureFlags = measureFlags(settings);
    p.kindFlags = kindFlags(settings);
    return p;
}

int passCount(double rangePercent) {
    if (!std::isfinite(rangePercent)) {
        return 0;
    }
    // The same arithmetic as the pass loop, so the count always matches it.
    double range = rangePercent / 100.0;
    int count = 0;
    // Halving a finite range reaches kLastPassRange within a few thousand steps.
    constexpr int kMaxPasses = 2200;
    do {
        ++count;
        range *= kRangeHalving;
    } while (range >= kLastPassRange && count < kMaxPasses);
    return count;
}

} // namespace kiro
