#include "analysis/spot_rays.h"

#include <cmath>

#include "trace/bundles.h"
#include "trace/ray_tracer.h"

namespace kiro {

namespace {

constexpr int kReferenceZones = 10; // reference fan heights in tenths of the aperture
constexpr double kParaxialZoneDivisor = 100.0;

PlottedPair plottedPairFor(const Surface& imageRow) {
    const double ax = std::fabs(imageRow.nx);
    const double ay = std::fabs(imageRow.ny);
    const double az = std::fabs(imageRow.nz);
    if (ax >= ay && ax >= az) {
        return PlottedPair::YZ;
    }
    if (ay >= az) {
        return PlottedPair::XZ;
    }
    return PlottedPair::XY;
}

Ray launchRay(const SpotBeam& beam, double px, double py, int line) {
    Ray ray;
    ray.line = line;
    ray.position = sub(Vec3{px, py, beam.z0}, scale(beam.direction, beam.h0));
    ray.direction = beam.direction;
    return ray;
}

// Mean landing point of a meridional d-line fan through every row but the stops and the
// obstruction; false when no ray of the fan comes through.
bool spotReference(const SurfaceTable& table, SpotBeam& beam) {
    Vec3 sum{};
    int count = 0;
    const double zoneStep = beam.h0 / kReferenceZones;
    // kReferenceZones heights, one more where the sum falls just short of h0.
    double t = 0.0;
    for (int k = 0; k <= kReferenceZones && t < beam.h0; ++k, t += zoneStep) {
        for (const double height : {t, -t}) {
            Ray ray = launchRay(beam, height, 0.0, WavelengthLine::d);
            for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
                if (table[i].type == SurfaceType::Stop ||
                    table[i].type == SurfaceType::Obstruction) {
                    continue;
                }
                ray.direction = normalize(ray.direction);
                ray = traceSurface(ray, table[i], relativeIndex(table, i, ray.line),
                                   beam.searchLength);
            }
            if (!isDead(ray)) {
                sum = add(sum, ray.position);
                ++count;
            }
        }
    }
    if (count == 0) {
        return false;
    }
    beam.reference = divide(sum, count);
    return true;
}

} // namespace

bool prepareSpotBeam(const SurfaceTable& table, const Surface& imageRow, double fieldAngle,
                     SpotBeam& beam) {
    beam.h0 = table[0].effectiveRadius;
    beam.z0 = table[0].z;
    if (!(beam.h0 > 0.0) || !std::isfinite(beam.h0)) {
        return false;
    }
    beam.direction = {std::sin(fieldAngle), 0.0, -std::cos(fieldAngle)};
    beam.cosField = std::cos(fieldAngle);
    beam.pair = plottedPairFor(imageRow);
    beam.searchLength = asphereSearchLength(table);
    return spotReference(table, beam);
}

bool prepareSpotPanels(const SurfaceTable& table, const Settings& settings,
                       const std::array<double, kSpotPanelCount>& heights, SpotPanels& panels) {
    panels = SpotPanels{};
    const int count = surfaceCount(table);
    if (count == 0) {
        return false;
    }
    const double r = apertureRadius(table);
    const double f = zonalFocus(table, settings, WavelengthLine::d, r / kParaxialZoneDivisor,
                                ZonalMode::OpticalOnly)
                         .f;
    // Without a finite focal length there is no field angle: the panels stay empty and
    // carry no angle labels.
    if (f == 0.0 || !std::isfinite(f)) {
        return false;
    }
    const Surface& imageRow = table[static_cast<size_t>(count - 1)];
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        panels.fieldAngle[j] = std::atan(heights[j] / f);
        panels.ready[j] = prepareSpotBeam(table, imageRow, panels.fieldAngle[j], panels.beam[j]);
    }
    return true;
}

bool spotLanding(const SurfaceTable& table, const SpotBeam& beam, double px, double py, int line,
                 SpotOffset& offset) {
    const Ray ray = traceSystem(table, launchRay(beam, px, py, line), RowFilter::All,
                                beam.searchLength, [](int, const Ray&) {});
    if (isDead(ray)) {
        return false;
    }
    const Vec3 d = sub(ray.position, beam.reference);
    switch (beam.pair) {
    case PlottedPair::YZ:
        offset = {d.y, d.z};
        break;
    case PlottedPair::XZ:
        offset = {d.x, d.z};
        break;
    case PlottedPair::XY:
        offset = {d.x, d.y};
        break;
    }
    return true;
}

double spotGridStep(double h0, int gridMode, int gridCount) {
    return gridMode == 0 ? 2.0 * h0 / gridCount : static_cast<double>(gridCount);
}

int spotGridCount(const Settings& settings) {
    return settings.spotGridMode == 0 ? settings.spotGridPoints : settings.spotGridPitch;
}

void spotGridValues(double h0, double step, std::vector<double>& values) {
    values.clear();
    if (!(step > 0.0)) {
        return;
    }
    for (double u = 0.0; u < h0 && values.size() < static_cast<size_t>(kMaxSpotGridValues);
         u += step) {
        values.push_back(u);
    }
}

void spotGridOf(const SurfaceTable& table, const Settings& settings, std::vector<double>& values) {
    values.clear();
    const double h0 = table[0].effectiveRadius;
    if (h0 > 0.0 && std::isfinite(h0)) {
        spotGridValues(h0, spotGridStep(h0, settings.spotGridMode, spotGridCount(settings)),
                       values);
    }
}

SpotTaskList spotTasks(const SpotDialogState& state) {
    SpotTaskList tasks;
    for (int s = 1; s <= kSpotLineCount; ++s) {
        if (state.spotLineShown[static_cast<size_t>(s - 1)] == 1) {
            for (int j = 0; j < kSpotPanelCount; ++j) {
                tasks.task[static_cast<size_t>(tasks.count++)] = {s, j};
            }
        }
    }
    return tasks;
}

std::array<std::array<double, 2>, kPupilPointsPerGridPoint> spotPupilPoints(double xg, double v) {
    return {{{xg, v}, {-xg, v}, {xg, -v}, {-xg, -v}}};
}

} // namespace kiro
