#include "design/merit.h"

#include <cmath>

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

// Calls visit(h) for the zone heights hMin + k * step, k = first .. 8, as long as they do
// not exceed hMax.
template <class Visit> void forEachZone(double hMin, double hMax, int first, Visit&& visit) {
    const double step = zoneStep(hMin, hMax);
    for (int k = first; k < kZoneCount; ++k) {
        const double h = zoneHeight(hMin, step, k);
        if (h > hMax) {
            break;
        }
        visit(h);
    }
}

// Mean zone focus and whether one could be formed at all: false for invalid input and
// when not even the innermost zone traces in mode 1.
bool formMeanFocus(const SurfaceTable& table, const Settings& settings, double hMin, double hMax,
                   int line, double& focus) {
    focus = 0.0;
    if (isEmptyTable(table) || !validInnerHeight(hMin)) {
        return false;
    }
    if (validRange(hMin, hMax)) {
        double sum = 0.0;
        int count = 0;
        forEachZone(hMin, hMax, 0, [&](double h) {
            const ZonalFocus zone = zonalFocus(table, settings, line, h, ZonalMode::WithStops);
            if (focusFound(zone)) {
                sum += zone.point.z;
                ++count;
            }
        });
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
    FocusSpread foci;
    forEachZone(hMin, hMax, 0, [&](double h) {
        const ZonalFocus zone = zonalFocus(table, settings, line, h, ZonalMode::WithStops);
        if (focusFound(zone)) {
            foci.add(zone.point.z);
        }
    });
    return foci.any ? foci.width() : kUnmeasurable;
}

FocusSpread zoneLineSpread(const SurfaceTable& table, const Settings& settings, double h,
                           int lineMask) {
    FocusSpread foci;
    for (int line = WavelengthLine::First; line <= WavelengthLine::Last; ++line) {
        if ((lineMask & lineBit(line)) == 0) {
            continue;
        }
        const ZonalFocus zone = zonalFocus(table, settings, line, h, ZonalMode::OpticalOnly);
        if (focusFound(zone)) {
            foci.add(zone.point.z);
        }
    }
    return foci;
}

double chromaticAberration(const SurfaceTable& table, const Settings& settings, double hMin,
                           double hMax, int lineMask) {
    if (isEmptyTable(table) || lineMask <= 0 || !validRange(hMin, hMax)) {
        return 0.0;
    }
    double result = 0.0;
    forEachZone(hMin, hMax, 0, [&](double h) {
        const FocusSpread foci = zoneLineSpread(table, settings, h, lineMask);
        if (foci.any && foci.width() > result) {
            result = foci.width();
        }
    });
    return result;
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
    forEachZone(hMin, hMax, 1, [&](double h) {
        const double deviation = sineFocusDeviation(table, fRef, line, h);
        if (deviation < kSineDeviationNoValue) {
            return;
        }
        if (deviation > largest) {
            largest = deviation;
        }
        if (deviation < smallest) {
            smallest = deviation;
        }
    });
    return largest - smallest;
}

double meanFocus(const SurfaceTable& table, const Settings& settings, double hMin, double hMax,
                 int line) {
    double focus = 0.0;
    formMeanFocus(table, settings, hMin, hMax, line, focus);
    return focus;
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
        if (row.type == SurfaceType::FlatFocal || row.type == SurfaceType::SphericalFocal) {
            row.z = focus;
            return;
        }
    }
}

} // namespace kiro
