#include "design/candidate_merit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

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
// so the plain measure is asked, as it is when the spread stops being finite.
CandidateMerit spherical(const SurfaceTable& table, const Settings& settings, double hMin,
                         double hMax, int line, const MeritBound& bound, const TracedZones* given) {
    const int known = given != nullptr ? given->sphericalTraced : 0;
    // The zones not traced beforehand, traced here (the batch made only when needed).
    std::optional<ZoneBatch> zones;
    FocusSpread foci;
    int traced = 0;
    for (const int end : kStageEnds) {
        if (traced >= known) {
            if (!zones) {
                zones.emplace();
                const double step = zoneStep(hMin, hMax);
                for (const int k : kZoneOrder) {
                    zones->add(line, zoneHeight(hMin, step, k));
                }
            }
            zones->trace(table, settings, ZonalMode::WithStops, traced, end - traced);
        }
        for (; traced < end; ++traced) {
            const size_t z = static_cast<size_t>(traced);
            const ZonalFocus& zone = traced < known ? given->spherical[z] : zones->focus[z];
            if (zone.f == 0.0) {
                continue;
            }
            if (!std::isfinite(zone.point.z)) {
                return {sphericalAberration(table, settings, hMin, hMax, line), true};
            }
            foci.add(zone.point.z);
            if (!std::isfinite(foci.width())) {
                return {sphericalAberration(table, settings, hMin, hMax, line), true};
            }
            if (bound.exceeded(foci.width())) {
                return {foci.width(), false};
            }
        }
    }
    return {foci.any ? foci.width() : kUnmeasurable, true};
}

int linesIn(int mask) {
    int count = 0;
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        count += (mask & lineBit(line)) != 0 ? 1 : 0;
    }
    return count;
}

// Each zone's spread over the lines is formed in the plain line order; the largest of
// them, NaN spreads never counting, is the same in any zone order. An infinite spread
// makes the whole measure its failure value, which the plain measure gives.
CandidateMerit chromatic(const SurfaceTable& table, const Settings& settings, double hMin,
                         double hMax, int mask, double offset, const MeritBound& bound,
                         const TracedZones* given) {
    if (mask <= 0) {
        return {0.0, true};
    }
    const int perZone = linesIn(mask);
    const bool firstKnown = given != nullptr && given->chromaticTraced;
    std::optional<ZoneBatch> zones;
    double result = 0.0;
    int traced = 0;
    for (const int end : kStageEnds) {
        const bool known = firstKnown && traced < kFirstZones;
        if (!known) {
            if (!zones) {
                zones.emplace();
                const double step = zoneStep(hMin, hMax);
                for (const int k : kZoneOrder) {
                    zones->addLines(zoneHeight(hMin, step, k), mask);
                }
            }
            zones->trace(table, settings, ZonalMode::OpticalOnly, traced * perZone,
                         (end - traced) * perZone);
        }
        for (; traced < end; ++traced) {
            const FocusSpread foci =
                known ? zoneLineSpread(std::span(given->chromatic.data() + traced * perZone,
                                                 static_cast<size_t>(perZone)))
                      : zoneLineSpread(*zones, traced * perZone, perZone);
            if (foci.any && !std::isfinite(foci.width())) {
                return {chromaticAberration(table, settings, hMin, hMax, mask), true};
            }
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
    return parameters.measureFlags.has(MeasureFlag::Spherical) &&
           allNineZones(table, aperture / kInnerZoneFraction, aperture);
}

// Whether a zone of the table traced with its stops acting meets the same rows as one
// traced through the optical rows only (no stop, obstruction or code below 10 but the
// focal surfaces, which neither meets): then the two give the same focus, bit for bit.
bool stopsChangeNothing(const SurfaceTable& table) {
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (rowPassesFilter(table[i], RowFilter::NoFocal) !=
            rowPassesFilter(table[i], RowFilter::OpticalOnly)) {
            return false;
        }
    }
    return true;
}

namespace {

// Zones of several tables traced together: for each table t the zones k = first .. last - 1
// of the candidate order at every line of the mask (or the one line), into place.
struct Across {
    std::span<const SurfaceTable* const> tables;
    const Settings& settings;
    double hMin;
    double step;
    TableLikeness likeness;
};

// The focus of zone z (of the candidate order) at a line in the given mode, when the
// candidate holds it already: the focal length's zone is the innermost one at the
// spherical-aberration line through the optical rows, and the first spherical zones are
// those at that line with the stops acting.
const ZonalFocus* knownZone(const TracedZones& zones, int z, int line, ZonalMode mode) {
    if (line != zones.knownLine) {
        return nullptr;
    }
    const bool sameRows = mode == ZonalMode::OpticalOnly || zones.stopsChangeNothing;
    if (kZoneOrder[z] == 0 && zones.focalZoneTraced && sameRows) {
        return &zones.focalZone;
    }
    const bool sphericalRows = mode == ZonalMode::WithStops || zones.stopsChangeNothing;
    if (z < zones.sphericalTraced && sphericalRows) {
        return &zones.spherical[static_cast<size_t>(z)];
    }
    return nullptr;
}

template <class Target>
void traceAcross(const Across& across, int first, int last, int line, int mask, ZonalMode mode,
                 std::span<TracedZones* const> traced, Target&& target) {
    // The most zones of one call: the further spherical zones, or the first chromatic
    // zones at every line, of each table.
    constexpr size_t kMost =
        kMaxAcross * std::max(kZoneCount - kFirstZones, kFirstZones * WavelengthLine::Last);
    std::array<ZoneRequest, kMost> zones;
    thread_local std::array<ZonalFocus, kMost> foci;
    // Every zone of every table in order; those a table holds already are not traced again.
    thread_local std::array<ZonalFocus, kMost> filed;
    std::array<int, kMost> tracedAs; // index into foci, or -1 for a zone held already
    size_t count = 0;
    size_t slots = 0;
    const auto add = [&](size_t t, int z, int l, double h) {
        const ZonalFocus* known = knownZone(*traced[t], z, l, mode);
        if (known != nullptr) {
            filed[slots] = *known;
            tracedAs[slots++] = -1;
        } else {
            tracedAs[slots++] = static_cast<int>(count);
            zones[count++] = {l, h, static_cast<int>(t)};
        }
    };
    for (size_t t = 0; t < across.tables.size(); ++t) {
        for (int z = first; z < last; ++z) {
            const double h = zoneHeight(across.hMin, across.step, kZoneOrder[z]);
            for (int l = WavelengthLine::First; l <= WavelengthLine::Last; ++l) {
                if (mask == 0 ? l == line : (mask & lineBit(l)) != 0) {
                    add(t, z, l, h);
                }
            }
            if (mask == 0 && (line < WavelengthLine::First || line > WavelengthLine::Last)) {
                add(t, z, line, h);
            }
        }
    }
    if (count > 0) {
        zonalFociAcross(across.tables, across.settings, std::span(zones.data(), count), mode,
                        std::span(foci.data(), count), ZoneMirror::Use, across.likeness);
    }
    for (size_t s = 0; s < slots; ++s) {
        if (tracedAs[s] >= 0) {
            filed[s] = foci[static_cast<size_t>(tracedAs[s])];
        }
    }
    const size_t perTable = slots / std::max<size_t>(across.tables.size(), 1);
    for (size_t t = 0; t < across.tables.size(); ++t) {
        target(*traced[t], std::span(filed.data() + t * perTable, perTable));
    }
}

} // namespace

void traceFirstZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                     double aperture, const PassParameters& parameters,
                     std::span<TracedZones* const> traced, TableLikeness likeness) {
    const double hMin = aperture / kInnerZoneFraction;
    const Across across{tables.first(std::min(tables.size(), static_cast<size_t>(kMaxAcross))),
                        settings, hMin, zoneStep(hMin, aperture), likeness};
    traceAcross(across, 0, kFirstZones, parameters.sphericalLine, 0, ZonalMode::WithStops, traced,
                [](TracedZones& zones, std::span<const ZonalFocus> foci) {
                    std::copy(foci.begin(), foci.end(), zones.spherical.begin());
                    zones.sphericalTraced = kFirstZones;
                });
}

bool firstZonesCut(const TracedZones& zones, const MeritBound& bound) {
    FocusSpread foci;
    for (int k = 0; k < zones.sphericalTraced && k < kFirstZones; ++k) {
        const ZonalFocus& zone = zones.spherical[static_cast<size_t>(k)];
        if (zone.f == 0.0) {
            continue;
        }
        // The plain measure decides zones that are not finite.
        if (!std::isfinite(zone.point.z)) {
            return false;
        }
        foci.add(zone.point.z);
        if (!std::isfinite(foci.width())) {
            return false;
        }
        if (bound.exceeded(foci.width())) {
            return true;
        }
    }
    if (!zones.chromaticTraced) {
        return false;
    }
    // Both measures only grow with more zones, and so does their rounded sum.
    const double spherical = foci.any ? foci.width() : 0.0;
    const size_t perZone = zones.chromaticPerZone;
    double chromatic = 0.0;
    for (size_t k = 0; k < static_cast<size_t>(kFirstZones); ++k) {
        const FocusSpread lines =
            zoneLineSpread(std::span(zones.chromatic.data() + k * perZone, perZone));
        if (lines.any && !std::isfinite(lines.width())) {
            return false;
        }
        if (lines.any && lines.width() > chromatic) {
            chromatic = lines.width();
        }
    }
    return bound.exceeded(spherical + chromatic);
}

void traceFurtherZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                       double aperture, const PassParameters& parameters,
                       std::span<TracedZones* const> traced, TableLikeness likeness) {
    const double hMin = aperture / kInnerZoneFraction;
    const Across across{tables.first(std::min(tables.size(), static_cast<size_t>(kMaxAcross))),
                        settings, hMin, zoneStep(hMin, aperture), likeness};
    traceAcross(across, kFirstZones, kZoneCount, parameters.sphericalLine, 0, ZonalMode::WithStops,
                traced, [](TracedZones& zones, std::span<const ZonalFocus> foci) {
                    std::copy(foci.begin(), foci.end(), zones.spherical.begin() + kFirstZones);
                    zones.sphericalTraced = kZoneCount;
                });
}

void traceFirstChromaticZones(std::span<const SurfaceTable* const> tables, const Settings& settings,
                              double aperture, const PassParameters& parameters,
                              std::span<TracedZones* const> traced, TableLikeness likeness) {
    const int mask = parameters.chromaticMask;
    if (!parameters.measureFlags.has(MeasureFlag::Chromatic) || mask <= 0 ||
        (mask & kAllLineBits) == 0) {
        return;
    }
    const double hMin = aperture / kInnerZoneFraction;
    const Across across{tables.first(std::min(tables.size(), static_cast<size_t>(kMaxAcross))),
                        settings, hMin, zoneStep(hMin, aperture), likeness};
    const size_t perZone = static_cast<size_t>(linesIn(mask));
    traceAcross(across, 0, kFirstZones, 0, mask, ZonalMode::OpticalOnly, traced,
                [perZone](TracedZones& zones, std::span<const ZonalFocus> foci) {
                    std::copy(foci.begin(), foci.end(), zones.chromatic.begin());
                    zones.chromaticTraced = true;
                    zones.chromaticPerZone = perZone;
                });
}

CandidateMerit candidateMerit(const SurfaceTable& table, const Settings& settings, double aperture,
                              const PassParameters& parameters, const MeritBound& bound,
                              const TracedZones* traced) {
    const double hMin = aperture / kInnerZoneFraction;
    const double hMax = aperture;
    const MeasureFlags flags = parameters.measureFlags;
    const bool reorder = allNineZones(table, hMin, hMax);
    double merit = 0.0;
    if (flags.has(MeasureFlag::Spherical)) {
        if (reorder) {
            const CandidateMerit sa =
                spherical(table, settings, hMin, hMax, parameters.sphericalLine, bound, traced);
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
    if (flags.has(MeasureFlag::Chromatic)) {
        if (reorder) {
            const CandidateMerit ca = chromatic(table, settings, hMin, hMax,
                                                parameters.chromaticMask, merit, bound, traced);
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
    if (flags.has(MeasureFlag::SineCondition)) {
        merit += sineConditionOffence(table, settings, hMin, hMax, parameters.sphericalLine);
    }
    return {merit, true};
}

} // namespace kiro
