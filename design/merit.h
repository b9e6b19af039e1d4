#pragma once

#include <array>
#include <span>

#include "model/lens_system.h"
#include "trace/bundles.h"

namespace kiro {

// Failure value of sphericalAberration: it never wins a minimising comparison.
constexpr double kUnmeasurable = 1e10;

// Line masks: bit k selects line slot k.
constexpr int lineBit(int line) {
    return 1 << line;
}

// The zone set of a height range: hMin + k * step for k = 0 .. 8 with
// step = (hMax - hMin) / 8.01, so the outermost zone lies just inside hMax.
constexpr int kZoneCount = 9;
constexpr double kZoneDivisor = 8.01;
inline double zoneStep(double hMin, double hMax) {
    return (hMax - hMin) / kZoneDivisor;
}
// Computed from k rather than accumulated, so every caller gets the same heights.
inline double zoneHeight(double hMin, double step, int k) {
    return hMin + k * step;
}

// Lowest and highest of the focus positions added so far; a NaN position changes neither.
struct FocusSpread {
    bool any = false;
    double lowest = 0.0;
    double highest = 0.0;

    void add(double z) {
        if (!any) {
            lowest = highest = z;
            any = true;
        } else if (z < lowest) {
            lowest = z;
        } else if (z > highest) {
            highest = z;
        }
    }
    double width() const { return highest - lowest; }
};

// Zones to trace together, in the order they are added.
struct ZoneBatch {
    static constexpr int kCapacity = kZoneCount * WavelengthLine::Last;
    std::array<ZoneRequest, kCapacity> zone;
    std::array<ZonalFocus, kCapacity> focus; // filled by trace
    int count = 0;

    void add(int line, double h) { zone[static_cast<size_t>(count++)] = {line, h, 0}; }
    // The zones of a height range from zone `first` on, at one line.
    void addRange(double hMin, double hMax, int first, int line);
    // One height at every line of the mask, C to h.
    void addLines(double h, int lineMask);
    void trace(const SurfaceTable& table, const Settings& settings, ZonalMode mode) {
        trace(table, settings, mode, 0, count);
    }
    // Only the zones first .. first + n - 1.
    void trace(const SurfaceTable& table, const Settings& settings, ZonalMode mode, int first,
               int n);
};

// The foci of the lines in lineMask at zone height h, traced through mirrors and lenses
// only; lines whose rays die are left out.
FocusSpread zoneLineSpread(const SurfaceTable& table, const Settings& settings, double h,
                           int lineMask);
// The same from count traced zones of a batch, starting at first, or from traced foci.
FocusSpread zoneLineSpread(const ZoneBatch& zones, int first, int count);
FocusSpread zoneLineSpread(std::span<const ZonalFocus> foci);

// The measures trace nine zones from hMin to hMax; settings supply the light source
// that zonalFocus reads.
double sphericalAberration(const SurfaceTable& table, const Settings& settings, double hMin,
                           double hMax, int line);
double chromaticAberration(const SurfaceTable& table, const Settings& settings, double hMin,
                           double hMax, int lineMask);
// sphericalAberration of each table, bit for bit, the tables' zones traced together; the
// tables differ in their radii only (or likeness says that nothing is known).
void sphericalAberrations(std::span<const SurfaceTable* const> tables, const Settings& settings,
                          double hMin, double hMax, int line, std::span<double> results,
                          TableLikeness likeness = TableLikeness::Unknown);
double sineConditionOffence(const SurfaceTable& table, const Settings& settings, double hMin,
                            double hMax, int line);
double meanFocus(const SurfaceTable& table, const Settings& settings, double hMin, double hMax,
                 int line);

// Moves the first focal-surface row (code 2 or 3) to the mean focus at the line.
void refocus(SurfaceTable& table, const Settings& settings, int line);

} // namespace kiro
