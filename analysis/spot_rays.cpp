#include "analysis/spot_rays.h"

#include <cmath>

#include "trace/bundles.h"
#include "trace/ray_packet.h"
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
            Ray ray = launchSpotRay(beam, height, 0.0, WavelengthLine::d);
            for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
                if (!rowPassesFilter(table[i], RowFilter::NoStops)) {
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

Ray launchSpotRay(const SpotBeam& beam, double px, double py, int line) {
    Ray ray;
    ray.line = line;
    ray.position = sub(Vec3{px, py, beam.z0}, scale(beam.direction, beam.h0));
    ray.direction = beam.direction;
    return ray;
}

SpotOffset shownOffset(PlottedPair pair, Vec3 d) {
    switch (pair) {
    case PlottedPair::YZ:
        return {d.y, d.z};
    case PlottedPair::XZ:
        return {d.x, d.z};
    case PlottedPair::XY:
        break;
    }
    return {d.x, d.y};
}

bool aimSpotBeam(const SurfaceTable& table, const Surface& imageRow, double fieldAngle,
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
    beam.mirrored = isMirrorSymmetricInY(table);
    return true;
}

bool prepareSpotBeam(const SurfaceTable& table, const Surface& imageRow, double fieldAngle,
                     SpotBeam& beam) {
    return aimSpotBeam(table, imageRow, fieldAngle, beam) && spotReference(table, beam);
}

double spotFocalLength(const SurfaceTable& table, const Settings& settings) {
    if (surfaceCount(table) == 0) {
        return 0.0;
    }
    const double r = apertureRadius(table);
    return zonalFocus(table, settings, WavelengthLine::d, r / kParaxialZoneDivisor,
                      ZonalMode::OpticalOnly)
        .f;
}

bool prepareSpotPanels(const SurfaceTable& table, const Settings& settings,
                       const std::array<double, kSpotPanelCount>& heights, SpotPanels& panels) {
    panels = SpotPanels{};
    const int count = surfaceCount(table);
    if (count == 0) {
        return false;
    }
    const double f = spotFocalLength(table, settings);
    // Without a finite focal length there is no field angle: the panels stay empty and
    // carry no angle labels.
    if (!givesFieldAngles(f)) {
        return false;
    }
    const Surface& imageRow = table[static_cast<size_t>(count - 1)];
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        panels.fieldAngle[j] = std::atan(heights[j] / f);
        panels.ready[j] = prepareSpotBeam(table, imageRow, panels.fieldAngle[j], panels.beam[j]);
    }
    return true;
}

// In a design lying in the x-z plane every row, and the beam (tilted in x only), are
// their own mirror images in y, and IEEE arithmetic is symmetric under a change of sign
// up to the sign of a zero: the ray of (x, -v) ends as the mirror image of the ray of
// (x, v), its landing offset the same but for that sign. The pixel a landing becomes and
// the spot statistics (sums that end in + 0, squares) cannot tell the two apart.
void traceSpotGridRow(const SurfaceTable& table, const SpotBeam& beam,
                      const std::vector<double>& values, size_t row, int line,
                      RepeatedPoints repeated, SpotLanding* landings) {
    const size_t n = values.size();
    const double xg = values[row] / beam.cosField;
    const int traced = beam.mirrored ? 2 : kPupilPointsPerGridPoint;
    // Columns per packet, each with its traced pupil points.
    const size_t columnsPerPacket = static_cast<size_t>(kPacketCapacity / traced);
    // launchSpotRay's step back along the beam, the same for every ray.
    const Vec3 back = scale(beam.direction, beam.h0);
    RayPacket packet;
    for (size_t first = 0; first < n; first += columnsPerPacket) {
        const size_t last = std::min(n, first + columnsPerPacket);
        int lane = 0;
        for (size_t column = first; column < last; ++column) {
            const auto points = spotPupilPoints(xg, values[column]);
            for (int k = 0; k < traced; ++k, ++lane) {
                const auto& p = points[static_cast<size_t>(k)];
                packet.px[lane] = p[0] - back.x;
                packet.py[lane] = p[1] - back.y;
                packet.pz[lane] = beam.z0 - back.z;
                packet.dx[lane] = beam.direction.x;
                packet.dy[lane] = beam.direction.y;
                packet.dz[lane] = beam.direction.z;
                packet.line[lane] = line;
                packet.sideways[lane] = false;
            }
        }
        packet.count = lane;
        tracePacket(table, packet, RowFilter::All, beam.searchLength);
        lane = 0;
        for (size_t column = first; column < last; ++column) {
            SpotLanding* out = landings + kPupilPointsPerGridPoint * column;
            for (int k = 0; k < kPupilPointsPerGridPoint; ++k) {
                // (xg, -v) and (-xg, -v) land as the mirror images of the first two points.
                const bool image = k >= traced;
                const int from = image ? lane - traced + (k - traced) : lane++;
                const bool skip =
                    repeated == RepeatedPoints::Skip && repeatsPupilPoint(k, row == 0, column == 0);
                out[k] = SpotLanding{};
                if (!skip && !packet.dead(from)) {
                    const double y = image ? -packet.py[from] : packet.py[from];
                    out[k].arrived = true;
                    out[k].offset = shownOffset(
                        beam.pair, sub(Vec3{packet.px[from], y, packet.pz[from]}, beam.reference));
                }
            }
        }
    }
}

double spotGridStep(double h0, SpotGridMode gridMode, int gridCount) {
    return gridMode == SpotGridMode::FixedCount ? 2.0 * h0 / gridCount
                                                : static_cast<double>(gridCount);
}

int spotGridCount(const Settings& settings) {
    return settings.spotGridMode == SpotGridMode::FixedCount ? settings.spotGridPoints
                                                             : settings.spotGridPitch;
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

SpotTaskList spotTasks(const SpotView& state) {
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
