#include "design/merit.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "model/surface_kind.h"
#include "trace/bundles.h"

namespace kiro {

namespace {

// refocus keeps its outermost zone just inside the clear aperture.
constexpr double kRefocusApertureMargin = 1.01;
constexpr double kRefocusInnerFraction = 100.0;

bool isEmptyTable(const SurfaceTable& table) {
    return table[0].type < 0;
}

// h_min must be a positive finite height. Not-a-number limits count as invalid, so no
// height derived from them reaches the tracer.
bool validInnerHeight(double hMin) {
    return hMin > 0.0 && std::isfinite(hMin);
}
bool validRange(double hMin, double hMax) {
    return validInnerHeight(hMin) && hMin <= hMax && std::isfinite(hMax);
}

// A zone that traced and whose crossing lies at a finite z; nearly parallel skew rays
// can cross beyond the largest double, and such a z would make every spread infinite
// or NaN.
bool focusFound(const ZonalFocus& zone) {
    return zone.f != 0.0 && std::isfinite(zone.point.z);
}

// A measure that comes out infinite or not a number measured nothing: it is the
// measure's failure value, so no comparison ever meets an infinity.
double measured(double value, double failure) {
    return std::isfinite(value) ? value : failure;
}

} // namespace

void ZoneBatch::addRange(double hMin, double hMax, int first, int line) {
    const double step = zoneStep(hMin, hMax);
    for (int k = first; k < kZoneCount; ++k) {
        const double h = zoneHeight(hMin, step, k);
        if (h > hMax) {
            break;
        }
        add(line, h);
    }
}

void ZoneBatch::addLines(double h, int lineMask) {
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        if ((lineMask & lineBit(line)) != 0) {
            add(line, h);
        }
    }
}

void ZoneBatch::trace(const SurfaceTable& table, const Settings& settings, ZonalMode mode,
                      int first, int n) {
    if (n <= 0) {
        return;
    }
    const size_t begin = static_cast<size_t>(first);
    const size_t size = static_cast<size_t>(n);
    zonalFoci(table, settings, std::span(zone.data() + begin, size), mode,
              std::span(focus.data() + begin, size));
}

namespace {

// Mean zone focus and whether one could be formed at all: false for invalid input and
// when not even the innermost zone traces in mode 1.
bool formMeanFocus(const SurfaceTable& table, const Settings& settings, double hMin, double hMax,
                   int line, double& focus) {
    focus = 0.0;
    if (isEmptyTable(table) || !validInnerHeight(hMin)) {
        return false;
    }
    if (validRange(hMin, hMax)) {
        ZoneBatch zones;
        zones.addRange(hMin, hMax, 0, line);
        zones.trace(table, settings, ZonalMode::WithStops);
        double sum = 0.0;
        int count = 0;
        for (int k = 0; k < zones.count; ++k) {
            if (focusFound(zones.focus[k])) {
                sum += zones.focus[k].point.z;
                ++count;
            }
        }
        if (count > 0) {
            focus = sum / count;
            return true;
        }
    }
    // Every zone vignetted (or an inverted range): the innermost zone through the
    // optical surfaces alone still says where the focus lies.
    const ZonalFocus inner = zonalFocus(table, settings, line, hMin, ZonalMode::OpticalOnly);
    if (!focusFound(inner)) {
        return false;
    }
    focus = inner.point.z;
    return true;
}

} // namespace

double sphericalAberration(const SurfaceTable& table, const Settings& settings, double hMin,
                           double hMax, int line) {
    if (isEmptyTable(table) || !validRange(hMin, hMax)) {
        return kUnmeasurable;
    }
    ZoneBatch zones;
    zones.addRange(hMin, hMax, 0, line);
    zones.trace(table, settings, ZonalMode::WithStops);
    FocusSpread foci;
    for (int k = 0; k < zones.count; ++k) {
        if (focusFound(zones.focus[k])) {
            foci.add(zones.focus[k].point.z);
        }
    }
    return foci.any ? measured(foci.width(), kUnmeasurable) : kUnmeasurable;
}

void sphericalAberrations(std::span<const SurfaceTable* const> tables, const Settings& settings,
                          double hMin, double hMax, int line, std::span<double> results,
                          TableLikeness likeness) {
    constexpr size_t kTablesAtOnce = 16;
    std::array<ZoneRequest, kTablesAtOnce * kZoneCount> zones;
    std::array<ZonalFocus, kTablesAtOnce * kZoneCount> foci;
    const double step = zoneStep(hMin, hMax);
    for (size_t begin = 0; begin < tables.size(); begin += kTablesAtOnce) {
        const size_t count = std::min(tables.size() - begin, kTablesAtOnce);
        size_t zoneCount = 0;
        for (size_t t = 0; t < count; ++t) {
            results[begin + t] = kUnmeasurable;
            if (isEmptyTable(*tables[begin + t]) || !validRange(hMin, hMax)) {
                continue;
            }
            for (int k = 0; k < kZoneCount && zoneHeight(hMin, step, k) <= hMax; ++k) {
                zones[zoneCount++] = {line, zoneHeight(hMin, step, k), static_cast<int>(t)};
            }
        }
        zonalFociAcross(tables.subspan(begin, count), settings, std::span(zones.data(), zoneCount),
                        ZonalMode::WithStops, std::span(foci.data(), zoneCount), ZoneMirror::Use,
                        likeness);
        // The spread of each table's zones, in zone order, as sphericalAberration forms it.
        size_t z = 0;
        while (z < zoneCount) {
            const size_t t = static_cast<size_t>(zones[z].table);
            FocusSpread spread;
            for (; z < zoneCount && static_cast<size_t>(zones[z].table) == t; ++z) {
                if (focusFound(foci[z])) {
                    spread.add(foci[z].point.z);
                }
            }
            results[begin + t] =
                spread.any ? measured(spread.width(), kUnmeasurable) : kUnmeasurable;
        }
    }
}

FocusSpread zoneLineSpread(std::span<const ZonalFocus> zones) {
    FocusSpread foci;
    for (const ZonalFocus& zone : zones) {
        if (focusFound(zone)) {
            foci.add(zone.point.z);
        }
    }
    return foci;
}

FocusSpread zoneLineSpread(const ZoneBatch& zones, int first, int count) {
    return zoneLineSpread(std::span(zones.focus.data() + first, static_cast<size_t>(count)));
}

FocusSpread zoneLineSpread(const SurfaceTable& table, const Settings& settings, double h,
                           int lineMask) {
    ZoneBatch zones;
    zones.addLines(h, lineMask);
    zones.trace(table, settings, ZonalMode::OpticalOnly);
    return zoneLineSpread(zones, 0, zones.count);
}

double chromaticAberration(const SurfaceTable& table, const Settings& settings, double hMin,
                           double hMax, int lineMask) {
    if (isEmptyTable(table) || lineMask <= 0 || !validRange(hMin, hMax)) {
        return 0.0;
    }
    // Every zone at every line of the mask, in one batch, zone by zone.
    ZoneBatch zones;
    const double step = zoneStep(hMin, hMax);
    int heights = 0;
    for (int k = 0; k < kZoneCount && zoneHeight(hMin, step, k) <= hMax; ++k, ++heights) {
        zones.addLines(zoneHeight(hMin, step, k), lineMask);
    }
    zones.trace(table, settings, ZonalMode::OpticalOnly);
    const int perZone = heights > 0 ? zones.count / heights : 0;
    double result = 0.0;
    for (int k = 0; k < heights; ++k) {
        const FocusSpread foci = zoneLineSpread(zones, k * perZone, perZone);
        if (foci.any && foci.width() > result) {
            result = foci.width();
        }
    }
    return measured(result, 0.0);
}

double sineConditionOffence(const SurfaceTable& table, const Settings& settings, double hMin,
                            double hMax, int line) {
    if (isEmptyTable(table) || !validRange(hMin, hMax)) {
        return 0.0;
    }
    // The innermost zone's focal length is the reference; a failed trace leaves it 0.
    const double fRef = zonalFocus(table, settings, line, hMin, ZonalMode::OpticalOnly).f;
    // Both extremes start at the reference zone's own deviation, 0.
    double largest = 0.0;
    double smallest = 0.0;
    std::array<double, kZoneCount> heights{};
    std::array<double, kZoneCount> deviations{};
    size_t count = 0;
    const double step = zoneStep(hMin, hMax);
    for (int k = 1; k < kZoneCount && zoneHeight(hMin, step, k) <= hMax; ++k) {
        heights[count++] = zoneHeight(hMin, step, k);
    }
    sineFocusDeviations(table, fRef, line, std::span(heights.data(), count),
                        std::span(deviations.data(), count));
    for (size_t k = 0; k < count; ++k) {
        const double deviation = deviations[k];
        if (deviation < kSineDeviationNoValue) {
            continue;
        }
        if (deviation > largest) {
            largest = deviation;
        }
        if (deviation < smallest) {
            smallest = deviation;
        }
    }
    return measured(largest - smallest, 0.0);
}

double meanFocus(const SurfaceTable& table, const Settings& settings, double hMin, double hMax,
                 int line) {
    double focus = 0.0;
    formMeanFocus(table, settings, hMin, hMax, line, focus);
    return measured(focus, 0.0);
}

void refocus(SurfaceTable& table, const Settings& settings, int line) {
    const double r = apertureRadius(table) / kRefocusApertureMargin;
    double focus = 0.0;
    // Without a measurable focus the focal plane stays where it is rather than jumping
    // to z = 0.
    if (!formMeanFocus(table, settings, r / kRefocusInnerFraction, r, line, focus) ||
        !std::isfinite(focus)) {
        return;
    }
    // Every row is scanned, also those after the end of the table.
    for (Surface& row : table) {
        if (isFocal(row.type)) {
            row.z = focus;
            return;
        }
    }
}

} // namespace kiro
