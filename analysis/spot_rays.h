#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "analysis/spot_diagram.h"
#include "model/lens_system.h"
#include "trace/parallel.h"
#include "trace/ray.h"

// The rays of the spot diagram: one walk over the pupil grid that the picture and the spot
// statistics share, so that the two always agree on which rays arrive and where.
namespace kiro {

// A grid of more coordinates than this across the pupil (a pitch of 1 mm over 2 m) is cut
// off there, so that a nonsensical pitch or radius cannot stall a paint for hours.
constexpr int kMaxSpotGridValues = 1000;

// Which two coordinates of a landing point are shown: the image row's normal tells the
// plane the image lies in.
enum class PlottedPair { YZ, XZ, XY };

// What every ray of one panel shares.
struct SpotBeam {
    Vec3 direction{};
    double h0 = 0.0; // row 0's clear radius, the half width of the pupil grid
    double z0 = 0.0;
    double cosField = 1.0;
    Vec3 reference{}; // mean landing point of the d-line reference fan
    PlottedPair pair = PlottedPair::XY;
    double searchLength = 0.0; // of the aspheric intersection, from the whole table
    // The design lies in the x-z plane: the pupil points (x, -v) land as the mirror
    // images of (x, v) and are not traced.
    bool mirrored = false;
};

// The beam's launch for a field angle, without its reference point; false when row 0 has
// no clear radius.
bool aimSpotBeam(const SurfaceTable& table, const Surface& imageRow, double fieldAngle,
                 SpotBeam& beam);

// Sets a panel's beam up for a field angle (radians). False when row 0 has no clear
// radius or no ray of the reference fan comes through: the panel then has no spot.
bool prepareSpotBeam(const SurfaceTable& table, const Surface& imageRow, double fieldAngle,
                     SpotBeam& beam);

// A ray of the beam through the pupil point (px, py) on row 0's plane, started one clear
// radius back along the beam.
Ray launchSpotRay(const SpotBeam& beam, double px, double py, int line);

// The three panels of the dialog for their image heights (mm).
struct SpotPanels {
    std::array<double, kSpotPanelCount> fieldAngle{}; // radians
    std::array<SpotBeam, kSpotPanelCount> beam{};
    std::array<bool, kSpotPanelCount> ready{};
};

// The d-line focal length of the zone r/100 that turns image heights into field angles;
// 0 when it cannot be measured or the table is empty.
double spotFocalLength(const SurfaceTable& table, const Settings& settings);
// Whether such a focal length gives field angles at all: finite and not 0.
inline bool givesFieldAngles(double focalLength) {
    return focalLength != 0.0 && std::isfinite(focalLength);
}

// The field angles come from the d-line focal length of the zone r/100; false (and no
// panel ready) when that focal length cannot be measured or the table is empty.
bool prepareSpotPanels(const SurfaceTable& table, const Settings& settings,
                       const std::array<double, kSpotPanelCount>& heights, SpotPanels& panels);

// A landing point's offset from the reference point in the shown pair of coordinates (mm).
struct SpotOffset {
    double a = 0.0;
    double b = 0.0;
};

// The shown pair of coordinates of a difference of two points.
SpotOffset shownOffset(PlottedPair pair, Vec3 d);

// Where one ray of the grid lands.
struct SpotLanding {
    bool arrived = false;
    SpotOffset offset{};
};

// Step of the grid: FixedCount puts gridCount points across the diameter, FixedPitch takes a pitch
// of gridCount mm.
double spotGridStep(double h0, SpotGridMode gridMode, int gridCount);
int spotGridCount(const Settings& settings);

// The grid's coordinates 0, step, 2 step, ... below h0, summed as the walk sums them.
void spotGridValues(double h0, double step, std::vector<double>& values);

// The grid coordinates every panel of the design shares (row 0's clear radius is the
// half width); none when there is no clear radius.
void spotGridOf(const SurfaceTable& table, const Settings& settings, std::vector<double>& values);

// Each grid point (u, v) stands for four pupil points, in this order:
// (xg, v), (-xg, v), (xg, -v), (-xg, -v) with xg = u / cos(field angle).
constexpr int kPupilPointsPerGridPoint = 4;
std::array<std::array<double, 2>, kPupilPointsPerGridPoint> spotPupilPoints(double xg, double v);

// On the axes the four pupil points coincide in pairs (all four at the centre): the
// picture plots each copy, whereas a count takes each pupil point once.
constexpr bool repeatsPupilPoint(int k, bool onUAxis, bool onVAxis) {
    return (onUAxis && (k & 1) != 0) || (onVAxis && (k & 2) != 0);
}

// One line traced at one panel.
struct SpotTask {
    int line = 0;
    int panel = 0;
};

// The tasks of the shown lines in drawing order: line by line, panel by panel.
struct SpotTaskList {
    std::array<SpotTask, kSpotLineCount * kSpotPanelCount> task{};
    int count = 0;
};
SpotTaskList spotTasks(const SpotView& state);

// Which pupil points a walk traces.
enum class RepeatedPoints { Trace, Skip };

// The landings of grid row `row` (u = values[row]) at one line, 4 per column in plotting
// order, traced in packets: landings must hold kPupilPointsPerGridPoint * values.size().
// Skipped repeats do not arrive.
void traceSpotGridRow(const SurfaceTable& table, const SpotBeam& beam,
                      const std::vector<double>& values, size_t row, int line,
                      RepeatedPoints repeated, SpotLanding* landings);

// Traces the pupil grid of every task on the threads, one grid row (one u) per unit of
// work, and hands each ray to store(slot, arrived, offset), where slot numbers the rays
// task by task in plotting order: slot = (task * n + i) * 4n + 4j + k for grid point
// (values[i], values[j]) and pupil point k. Each slot is stored exactly once, by one
// thread. Tasks of a panel without a beam, and skipped repeats, store no arrival.
template <class Store>
void traceSpotTasks(const SurfaceTable& table, const SpotTaskList& tasks, const SpotPanels& panels,
                    const std::vector<double>& values, RepeatedPoints repeated, int threads,
                    Store&& store) {
    const size_t n = values.size();
    const size_t slotsPerRow = kPupilPointsPerGridPoint * n;
    const int units = tasks.count * static_cast<int>(n);
    runPartitioned(units, threads, [&](int begin, int end) {
        std::vector<SpotLanding> landings(slotsPerRow);
        for (int unit = begin; unit < end; ++unit) {
            const size_t u = static_cast<size_t>(unit);
            const SpotTask& task = tasks.task[u / n];
            const size_t panel = static_cast<size_t>(task.panel);
            size_t slot = u * slotsPerRow;
            if (panels.ready[panel]) {
                traceSpotGridRow(table, panels.beam[panel], values, u % n, task.line, repeated,
                                 landings.data());
            } else {
                std::fill(landings.begin(), landings.end(), SpotLanding{});
            }
            for (const SpotLanding& landing : landings) {
                store(slot++, landing.arrived, landing.offset);
            }
        }
    });
}

// The same walk for one task on the calling thread, in plotting order:
// visit(arrived, offset, repeat) for every ray (repeats are traced too).
template <class Visit>
void walkSpotGrid(const SurfaceTable& table, const SpotBeam& beam,
                  const std::vector<double>& values, int line, Visit&& visit) {
    const size_t n = values.size();
    std::vector<SpotLanding> landings(kPupilPointsPerGridPoint * n);
    for (size_t row = 0; row < n; ++row) {
        traceSpotGridRow(table, beam, values, row, line, RepeatedPoints::Trace, landings.data());
        size_t slot = 0;
        for (size_t column = 0; column < n; ++column) {
            for (int k = 0; k < kPupilPointsPerGridPoint; ++k, ++slot) {
                visit(landings[slot].arrived, landings[slot].offset,
                      repeatsPupilPoint(k, row == 0, column == 0));
            }
        }
    }
}

} // namespace kiro
