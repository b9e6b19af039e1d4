#include "design/candidate_merit.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "design/merit.h"
#include "trace/bundles.h"

namespace kiro {

namespace {

constexpr double kInnerZoneFraction = 100.0; // the merit's zones run from aperture / 100

// Outermost and innermost first, then working inwards from both ends.
constexpr int kZoneOrder[kZoneCount] = {8, 0, 4, 7, 1, 6, 2, 5, 3};

// True when the plain measures would trace all nine zones of the range, so visiting them
// in another order sees the same set.
bool allNineZones(const SurfaceTable& table, double hMin, double hMax) {
    return table[0].type >= 0 && hMin > 0.0 && std::isfinite(hMin) && hMin <= hMax &&
           std::isfinite(hMax) && zoneHeight(hMin, zoneStep(hMin, hMax), kZoneCount - 1) <= hMax;
}

// The zones are traced in two packets: the outermost and innermost first, which decide
// most candidates, then the other seven.
constexpr int kStageEnds[] = {kFirstZones, kZoneCount};

// The spread max z - min z of the zone foci does not depend on the order the zones come
// in, as long as no focus is NaN; with one, the plain measure's order decides the result,
// so the plain measure is asked.
CandidateMerit spherical(const SurfaceTable& table, const Settings& settings, double hMin,
                         double hMax, int line, const MeritBound& bound, const FirstZones* given) {
    const double step = zoneStep(hMin, hMax);
    ZoneBatch zones;
    for (const int k : kZoneOrder) {
        zones.add(line, zoneHeight(hMin, step, k));
    }
    if (given != nullptr) {
        std::copy(given->focus.begin(), given->focus.end(), zones.focus.begin());
    }
    FocusSpread foci;
    int traced = 0;
    for (const int end : kStageEnds) {
        if (given == nullptr || traced >= kFirstZones) {
            zones.trace(table, settings, ZonalMode::WithStops, traced, end - traced);
        }
        for (; traced < end; ++traced) {
            const ZonalFocus& zone = zones.focus[static_cast<size_t>(traced)];
            if (zone.f == 0.0) {
                continue;
            }
            if (std::isnan(zone.point.z)) {
                return {sphericalAberration(table, settings, hMin, hMax, line), true};
            }
            foci.add(zone.point.z);
            if (bound.exceeded(foci.width())) {
                return {foci.width(), false};
            }
        }
    }
    return {foci.any ? foci.width() : kUnmeasurable, true};
}

// Each zone's spread over the lines is formed in the plain line order; the largest of
// them, NaN spreads never counting, is the same in any zone order.
CandidateMerit chromatic(const SurfaceTable& table, const Settings& settings, double hMin,
                         double hMax, int mask, double offset, const MeritBound& bound) {
    if (mask <= 0) {
        return {0.0, true};
    }
    const double step = zoneStep(hMin, hMax);
    ZoneBatch zones;
    for (const int k : kZoneOrder) {
        zones.addLines(zoneHeight(hMin, step, k), mask);
    }
    const int perZone = zones.count / kZoneCount;
    double result = 0.0;
    int traced = 0;
    for (const int end : kStageEnds) {
        zones.trace(table, settings, ZonalMode::OpticalOnly, traced * perZone,
                    (end - traced) * perZone);
        for (; traced < end; ++traced) {
            const FocusSpread foci = zoneLineSpread(zones, traced * perZone, perZone);
            if (foci.any && foci.width() > result) {
                result = foci.width();
                if (bound.exceeded(offset + result)) {
                    return {result, false};
                }
            }
        }
    }
    return {result, true};
}

} // namespace

bool tracesFirstZones(const SurfaceTable& table, double aperture,
                      const PassParameters& parameters) {
    return (parameters.measureFlags & MeasureFlag::Spherical) != 0 &&
           allNineZones(table, aperture / kInnerZoneFraction, aperture);
}

void traceFirstZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                     double aperture, const PassParameters& parameters,
                     std::span<FirstZones> first) {
    const double hMin = aperture / kInnerZoneFraction;
    const double step = zoneStep(hMin, aperture);
    std::array<ZoneRequest, kMaxAcross * kFirstZones> zones{};
    std::array<ZonalFocus, kMaxAcross * kFirstZones> foci{};
    const size_t count = std::min(tables.size(), static_cast<size_t>(kMaxAcross));
    for (size_t t = 0; t < count; ++t) {
        for (size_t z = 0; z < kFirstZones; ++z) {
            zones[t * kFirstZones + z] = {parameters.sphericalLine,
                                          zoneHeight(hMin, step, kZoneOrder[z]),
                                          static_cast<int>(t)};
        }
    }
    zonalFociAcross(tables.first(count), settings, std::span(zones.data(), count * kFirstZones),
                    ZonalMode::WithStops, std::span(foci.data(), count * kFirstZones));
    for (size_t t = 0; t < count; ++t) {
        std::copy_n(foci.begin() + static_cast<std::ptrdiff_t>(t * kFirstZones), kFirstZones,
                    first[t].focus.begin());
    }
}

CandidateMerit candidateMerit(const SurfaceTable& table, const Settings& settings, double aperture,
                              const PassParameters& parameters, const MeritBound& bound,
                              const FirstZones* first) {
    const double hMin = aperture / kInnerZoneFraction;
    const double hMax = aperture;
    const int flags = parameters.measureFlags;
    const bool reorder = allNineZones(table, hMin, hMax);
    double merit = 0.0;
    if ((flags & MeasureFlag::Spherical) != 0) {
        if (reorder) {
            const CandidateMerit sa =
                spherical(table, settings, hMin, hMax, parameters.sphericalLine, bound, first);
            merit += sa.merit;
            if (!sa.complete) {
                return {merit, false};
            }
        } else {
            merit += sphericalAberration(table, settings, hMin, hMax, parameters.sphericalLine);
        }
        if (bound.exceeded(merit)) {
            return {merit, false};
        }
    }
    if ((flags & MeasureFlag::Chromatic) != 0) {
        if (reorder) {
            const CandidateMerit ca =
                chromatic(table, settings, hMin, hMax, parameters.chromaticMask, merit, bound);
            merit += ca.merit;
            if (!ca.complete) {
                return {merit, false};
            }
        } else {
            merit += chromaticAberration(table, settings, hMin, hMax, parameters.chromaticMask);
        }
        if (bound.exceeded(merit)) {
            return {merit, false};
        }
    }
    if ((flags & MeasureFlag::SineCondition) != 0) {
        merit += sineConditionOffence(table, settings, hMin, hMax, parameters.sphericalLine);
    }
    return {merit, true};
}

} // namespace kiro
