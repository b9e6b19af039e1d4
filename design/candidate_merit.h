#pragma once

#include <array>
#include <atomic>
#include <span>

#include "design/merit.h"
#include "design/optimizer_settings.h"
#include "model/lens_system.h"
#include "trace/bundles.h"

namespace kiro {

// When a candidate can no longer become the best of its pass: a partial merit at least
// `atLeast` (the design's own merit, or the best its worker already holds), or strictly
// above the smallest merit any worker has found so far. Ties with that smallest merit
// are kept, because the worker order decides between them.
struct MeritBound {
    double atLeast = 0.0;
    const std::atomic<double>* smallestFound = nullptr;

    bool exceeded(double partial) const {
        return partial >= atLeast || (smallestFound != nullptr &&
                                      partial > smallestFound->load(std::memory_order_relaxed));
    }
};

struct CandidateMerit {
    double merit = 0.0;
    bool complete = false; // false: cut short, merit is only a lower bound
};

// Zones of candidateMerit traced beforehand, for several candidates together: the
// spherical aberration's zones in the order candidateMerit visits them (the outermost
// and the innermost first), and the chromatic aberration's first two zones at each line
// of the mask, C to h.
constexpr int kFirstZones = 2;
constexpr int kMaxAcross = 16; // candidates traced together at most
constexpr int kAllLineBits = 0x7e;
struct TracedZones {
    std::array<ZonalFocus, kZoneCount> spherical{};
    int sphericalTraced = 0; // 0, kFirstZones or kZoneCount
    std::array<ZonalFocus, kFirstZones * WavelengthLine::Last> chromatic{};
    bool chromaticTraced = false;
    size_t chromaticPerZone = 0; // lines of the mask, C to h
    // What the candidate has traced before, so that the same zone is not traced twice:
    // its focal length's zone (the innermost, at the spherical-aberration line knownLine,
    // through the optical rows) stands for the innermost chromatic zone at that line;
    // where stopsChangeNothing, also for the innermost spherical zone, and the first
    // spherical zones stand for the chromatic ones at that line.
    int knownLine = -1;
    ZonalFocus focalZone{};
    bool focalZoneTraced = false;
    bool stopsChangeNothing = false;
};

// Whether the stops and obstructions of the table leave every zone as it is without
// them (it has none, nor codes below 10 but the focal surfaces).
bool stopsChangeNothing(const SurfaceTable& table);

// Whether candidateMerit begins with those zones (spherical aberration is measured over
// all nine zones of the aperture).
bool tracesFirstZones(const SurfaceTable& table, double aperture, const PassParameters& parameters);

// The spherical aberration's first zones of each table (at most kMaxAcross, differing in
// their radii only).
void traceFirstZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                     double aperture, const PassParameters& parameters,
                     std::span<TracedZones* const> traced,
                     TableLikeness likeness = TableLikeness::Unknown);

// The chromatic aberration's first zones of each table, when the merit has that measure
// (a candidate whose spherical aberration stays small is decided by its colour).
void traceFirstChromaticZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                              double aperture, const PassParameters& parameters,
                              std::span<TracedZones* const> traced,
                              TableLikeness likeness = TableLikeness::Unknown);

// True when the zones traced so far already cut the candidate short under the bound (so
// no further zone will be traced for it): the spread of the first spherical zones, plus
// that of the first chromatic zones once they are traced, bounds the merit from below.
bool firstZonesCut(const TracedZones& zones, const MeritBound& bound);

// The other seven spherical zones.
void traceFurtherZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                       double aperture, const PassParameters& parameters,
                       std::span<TracedZones* const> traced,
                       TableLikeness likeness = TableLikeness::Unknown);

// The merit of designMerit, bit for bit, or a lower bound that the bound flags as
// exceeded. Every measure is 0 or more and grows as zones are added, so a partial sum
// bounds the whole from below; the zones are visited outermost and innermost first,
// where the spreads usually show, which lets a hopeless candidate stop after a few rays.
// With traced zones given (when tracesFirstZones), those zones are not traced again.
CandidateMerit candidateMerit(const SurfaceTable& table, const Settings& settings, double aperture,
                              const PassParameters& parameters, const MeritBound& bound,
                              const TracedZones* traced = nullptr);

} // namespace kiro
