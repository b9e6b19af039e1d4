#include "analysis/spot_diagram.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

#include "model/c_numbers.h"
#include "trace/bundles.h"
#include "trace/ray_tracer.h"

namespace kiro {

namespace {

constexpr int kPanelCentreY = 135;
constexpr int kFirstPanelCentreX = 100;
constexpr int kPanelPitch = 200;
constexpr int kSeparatorTop = 35;
constexpr int kSeparatorBottom = 235;
constexpr int kScaleLabelX = 10;
constexpr int kScaleLabelY = 40;
constexpr int kAngleLabelX = 80;
constexpr int kAngleLabelY = 230;
constexpr int kTickLength = 10;
constexpr int kSquareDotSpacing = 4;
constexpr double kDotReach = 100.0; // pixels from the panel centre within which dots show
constexpr double kScaleSpanMicrometres = 160000.0; // 160 pixels at 1000 pixels per mm
constexpr int kReferenceZones = 10; // reference fan heights in tenths of the aperture
constexpr double kParaxialZoneDivisor = 100.0;

// A grid of more coordinates than this across the pupil (a pitch of 1 mm over 2 m) is cut
// off there, so that a nonsensical pitch or radius cannot stall the paint for hours.
constexpr int kMaxGridValues = 1000;
// Paints with more rays than this are plotted straight onto the canvas on one thread
// instead of being buffered for the threads.
constexpr size_t kMaxBufferedDots = size_t{1} << 24;

constexpr std::array<Colour, 8> kLineColours{{
    {64, 0, 0},
    {255, 64, 64},
    {192, 192, 0},
    {32, 192, 32},
    {64, 192, 255},
    {64, 64, 192},
    {32, 32, 128},
    {32, 0, 64},
}};

// Which two coordinates of the landing point are plotted: the image row's normal tells
// the plane the image lies in.
enum class PlottedPair { YZ, XZ, XY };

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

// What every ray of one panel shares.
struct SpotSetup {
    Vec3 direction{};
    double h0 = 0.0;
    double z0 = 0.0;
    double cosField = 1.0;
    Vec3 reference{};
    PlottedPair pair = PlottedPair::XY;
    double magnification = 0.0;
    double searchLength = 0.0; // of the aspheric intersection, from the whole table
};

Ray launchRay(const SpotSetup& setup, double px, double py, int line) {
    Ray ray;
    ray.line = line;
    ray.position = sub(Vec3{px, py, setup.z0}, scale(setup.direction, setup.h0));
    ray.direction = setup.direction;
    return ray;
}

// Mean landing point of a meridional d-line fan through every row but the stops and the
// obstruction; false when no ray of the fan comes through.
bool spotReference(const SurfaceTable& table, SpotSetup& setup) {
    Vec3 sum{};
    int count = 0;
    const double zoneStep = setup.h0 / kReferenceZones;
    // kReferenceZones heights, one more where the sum falls just short of h0.
    double t = 0.0;
    for (int k = 0; k <= kReferenceZones && t < setup.h0; ++k, t += zoneStep) {
        for (const double height : {t, -t}) {
            Ray ray = launchRay(setup, height, 0.0, WavelengthLine::d);
            for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
                if (table[i].type == SurfaceType::Stop ||
                    table[i].type == SurfaceType::Obstruction) {
                    continue;
                }
                ray.direction = normalize(ray.direction);
                ray = traceSurface(ray, table[i], relativeIndex(table, i, ray.line),
                                   setup.searchLength);
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
    setup.reference = divide(sum, count);
    return true;
}

bool prepareSetup(const SurfaceTable& table, const Surface& imageRow, double magnification,
                  double fieldAngle, SpotSetup& setup) {
    setup.h0 = table[0].effectiveRadius;
    setup.z0 = table[0].z;
    if (!(setup.h0 > 0.0) || !std::isfinite(setup.h0)) {
        return false;
    }
    setup.direction = {std::sin(fieldAngle), 0.0, -std::cos(fieldAngle)};
    setup.cosField = std::cos(fieldAngle);
    setup.pair = plottedPairFor(imageRow);
    setup.magnification = magnification;
    setup.searchLength = asphereSearchLength(table);
    return spotReference(table, setup);
}

double gridStep(const SpotSetup& setup, int gridMode, int gridCount) {
    return gridMode == 0 ? 2.0 * setup.h0 / gridCount : static_cast<double>(gridCount);
}

// One dot as its offset from the panel centre, each within -99..99.
struct SpotDot {
    int8_t dx = 0;
    int8_t dy = 0;
};
constexpr int8_t kNoDot = INT8_MIN;

bool landingDot(const SurfaceTable& table, const SpotSetup& setup, double px, double py, int line,
                SpotDot& dot) {
    const Ray ray = traceSystem(table, launchRay(setup, px, py, line), RowFilter::All,
                                setup.searchLength, [](int, const Ray&) {});
    if (isDead(ray)) {
        return false;
    }
    const Vec3 offset = sub(ray.position, setup.reference);
    double a = offset.x;
    double b = offset.y;
    if (setup.pair == PlottedPair::YZ) {
        a = offset.y;
        b = offset.z;
    } else if (setup.pair == PlottedPair::XZ) {
        b = offset.z;
    }
    const double da = a * setup.magnification;
    const double db = b * setup.magnification;
    if (!(std::fabs(da) < kDotReach && std::fabs(db) < kDotReach)) {
        return false;
    }
    dot.dx = static_cast<int8_t>(da);
    dot.dy = static_cast<int8_t>(db);
    return true;
}

// The four pupil points of grid point (u, v), in plotting order.
std::array<std::array<double, 2>, 4> pupilPoints(double xg, double v) {
    return {{{xg, v}, {-xg, v}, {xg, -v}, {-xg, -v}}};
}

void plotPrepared(Canvas& canvas, const SurfaceTable& table, const SpotSetup& setup, int gridMode,
                  int gridCount, int centreX, int centreY, int line) {
    const Colour colour = lineColour(line);
    const double step = gridStep(setup, gridMode, gridCount);
    if (!(step > 0.0)) {
        return;
    }
    int rows = 0;
    for (double u = 0.0; u < setup.h0 && rows < kMaxGridValues; u += step, ++rows) {
        const double xg = u / setup.cosField;
        int columns = 0;
        for (double v = 0.0; v < setup.h0 && columns < kMaxGridValues; v += step, ++columns) {
            for (const auto& p : pupilPoints(xg, v)) {
                SpotDot dot;
                if (landingDot(table, setup, p[0], p[1], line, dot)) {
                    canvas.setPixel(centreX + dot.dx, centreY + dot.dy, colour);
                }
            }
        }
    }
}

// The grid's coordinates 0, step, 2 step, ... below h0, summed as the plot sums them.
void gridValues(double h0, double step, std::vector<double>& values) {
    values.clear();
    if (!(step > 0.0)) {
        return;
    }
    for (double u = 0.0; u < h0 && values.size() < static_cast<size_t>(kMaxGridValues); u += step) {
        values.push_back(u);
    }
}

void drawSquare(Canvas& canvas, int cx, int halfSide, double exactHalfSide) {
    const int a = halfSide;
    const int cy = kPanelCentreY;
    canvas.moveTo(cx, cy - a);
    canvas.lineTo(cx, cy - a - kTickLength);
    canvas.moveTo(cx, cy + a);
    canvas.lineTo(cx, cy + a + kTickLength);
    canvas.moveTo(cx - a, cy);
    canvas.lineTo(cx - a - kTickLength, cy);
    canvas.moveTo(cx + a, cy);
    canvas.lineTo(cx + a + kTickLength, cy);
    for (int k = -a; k < exactHalfSide && k <= a; k += kSquareDotSpacing) {
        canvas.setPixel(cx - k, cy - a, kBlack);
        canvas.setPixel(cx - k, cy + a, kBlack);
        canvas.setPixel(cx - a, cy - k, kBlack);
        canvas.setPixel(cx + a, cy - k, kBlack);
    }
}

struct SquareSize {
    double sideMicrometres = 0.0;
    double halfSidePixels = 0.0;
};

// The scale square's side is the micrometres that 160 pixels span, rounded down to its
// leading digit.
SquareSize squareSize(double magnification) {
    const double q = kScaleSpanMicrometres / magnification;
    const double e = std::floor(std::log(q) / std::log(10.0));
    const double unit = std::pow(10.0, e);
    const double m = std::floor(q / unit);
    return {m * unit, magnification * m * unit / 1000.0 * 0.5};
}

void drawFrame(Canvas& canvas, double magnification) {
    for (int j = 1; j < kSpotPanelCount; ++j) {
        canvas.moveTo(j * kPanelPitch, kSeparatorTop);
        canvas.lineTo(j * kPanelPitch, kSeparatorBottom);
    }
    const SquareSize size = squareSize(magnification);
    int side = 0;
    if (toInt(size.sideMicrometres, side)) {
        char label[32];
        std::snprintf(label, sizeof label, "%dum", side);
        for (int j = 0; j < kSpotPanelCount; ++j) {
            canvas.textOut(kScaleLabelX + j * kPanelPitch, kScaleLabelY, label);
        }
    }
    int a = 0;
    if (!toPixel(size.halfSidePixels, a)) {
        return;
    }
    for (int j = 0; j < kSpotPanelCount; ++j) {
        drawSquare(canvas, kFirstPanelCentreX + j * kPanelPitch, a, size.halfSidePixels);
    }
}

void drawAngleLabel(Canvas& canvas, int panel, double fieldAngle) {
    char label[64];
    snprintfC(label, sizeof label, "%.2f°", fieldAngle * 180.0 / std::numbers::pi);
    canvas.textOut(kAngleLabelX + panel * kPanelPitch, kAngleLabelY, label);
}

struct SpotTask {
    int line = 0;
    int panel = 0;
};

// Traces every shown line's grid on the threads into one dot slot per ray, then draws the
// slots in the order a single thread would have plotted them.
bool paintBuffered(Canvas& canvas, const SurfaceTable& table, const SpotDialogState& state,
                   const std::array<SpotSetup, kSpotPanelCount>& setups,
                   const std::array<bool, kSpotPanelCount>& ready,
                   const std::array<double, kSpotPanelCount>& angles, int gridMode, int gridCount,
                   int threads) {
    std::array<SpotTask, kSpotLineCount * kSpotPanelCount> tasks{};
    int taskCount = 0;
    for (int s = 1; s <= kSpotLineCount; ++s) {
        if (state.spotLineShown[s - 1] == 1) {
            for (int j = 0; j < kSpotPanelCount; ++j) {
                tasks[static_cast<size_t>(taskCount++)] = {s, j};
            }
        }
    }
    // Every panel shares h0 and the step, so one list of grid coordinates serves all.
    const double h0 = setups[0].h0;
    std::vector<double> values;
    const double step =
        h0 > 0.0 && std::isfinite(h0) ? gridStep(setups[0], gridMode, gridCount) : 0.0;
    gridValues(h0, step, values);
    const size_t n = values.size();
    const size_t slotsPerRow = 4 * n;
    const size_t slotsPerTask = n * slotsPerRow;
    if (slotsPerTask * static_cast<size_t>(taskCount) > kMaxBufferedDots) {
        return false;
    }
    std::vector<SpotDot> slots(slotsPerTask * static_cast<size_t>(taskCount));

    const int units = taskCount * static_cast<int>(n);
    runPartitioned(units, threads, [&](int begin, int end) {
        for (int unit = begin; unit < end; ++unit) {
            const SpotTask& task = tasks[static_cast<size_t>(unit) / n];
            const SpotSetup& setup = setups[static_cast<size_t>(task.panel)];
            SpotDot* row = slots.data() + static_cast<size_t>(unit) * slotsPerRow;
            if (!ready[static_cast<size_t>(task.panel)]) {
                for (size_t k = 0; k < slotsPerRow; ++k) {
                    row[k].dx = kNoDot;
                }
                continue;
            }
            const double xg = values[static_cast<size_t>(unit) % n] / setup.cosField;
            for (size_t k = 0; k < n; ++k) {
                for (const auto& p : pupilPoints(xg, values[k])) {
                    if (!landingDot(table, setup, p[0], p[1], task.line, *row)) {
                        row->dx = kNoDot;
                    }
                    ++row;
                }
            }
        }
    });

    for (int t = 0; t < taskCount; ++t) {
        const SpotTask& task = tasks[static_cast<size_t>(t)];
        const Colour colour = lineColour(task.line);
        const int cx = kFirstPanelCentreX + task.panel * kPanelPitch;
        const SpotDot* dots = slots.data() + static_cast<size_t>(t) * slotsPerTask;
        for (size_t k = 0; k < slotsPerTask; ++k) {
            if (dots[k].dx != kNoDot) {
                canvas.setPixel(cx + dots[k].dx, kPanelCentreY + dots[k].dy, colour);
            }
        }
        drawAngleLabel(canvas, task.panel, angles[static_cast<size_t>(task.panel)]);
    }
    return true;
}

unsigned wholeMillimetres(double value) {
    constexpr double kUnsignedLimit = 4294967295.0;
    if (!(value >= 0.0)) {
        return 0;
    }
    return value >= kUnsignedLimit ? 4294967295u : static_cast<unsigned>(value);
}

} // namespace

Colour lineColour(int slot) {
    if (slot < 0 || slot >= static_cast<int>(kLineColours.size())) {
        return kBlack;
    }
    return kLineColours[static_cast<size_t>(slot)];
}

SpotDialogState openSpotDialog(const SurfaceTable& table) {
    SpotDialogState state;
    const int last = surfaceCount(table) - 1;
    const double hL = last >= 0 ? table[static_cast<size_t>(last)].effectiveRadius : 0.0;
    // The height boxes hold whole millimetres, and the panels take what the boxes show.
    state.spotHeight = {0.0, static_cast<double>(wholeMillimetres(hL * 0.5)),
                        static_cast<double>(wholeMillimetres(hL))};
    state.spotScrollPos = 15;
    state.spotMagnification = spotMagnificationForScroll(state.spotScrollPos);
    return state;
}

double spotMagnificationForScroll(int pos) {
    pos = std::clamp(pos, kSpotScrollMin, kSpotScrollMax);
    if (pos <= 40) {
        return 25.0 * pos;
    }
    if (pos <= 70) {
        return 100.0 * (pos - 30);
    }
    if (pos <= 110) {
        return 400.0 * (pos - 60);
    }
    if (pos <= 130) {
        return 1000.0 * (pos - 90);
    }
    return 4000.0 * (pos - 120);
}

bool spotScaleSquare(double magnification, int& sideMicrometres, int& halfSide) {
    const SquareSize size = squareSize(magnification);
    return toInt(size.sideMicrometres, sideMicrometres) && toPixel(size.halfSidePixels, halfSide);
}

void plotSpot(Canvas& canvas, const SurfaceTable& table, const Surface& imageRow, int gridMode,
              int gridCount, int centreX, int centreY, double magnification, double fieldAngle,
              int line) {
    SpotSetup setup;
    if (!prepareSetup(table, imageRow, magnification, fieldAngle, setup)) {
        return;
    }
    plotPrepared(canvas, table, setup, gridMode, gridCount, centreX, centreY, line);
}

void paintSpotDialog(Canvas& canvas, const SpotDialogState& state, const SurfaceTable& table,
                     const Settings& settings, int threads) {
    canvas.selectPen(1, kBlack);
    drawFrame(canvas, state.spotMagnification);

    const int count = surfaceCount(table);
    if (count == 0) {
        return;
    }
    const double r = apertureRadius(table);
    const double f = zonalFocus(table, settings, WavelengthLine::d, r / kParaxialZoneDivisor,
                                ZonalMode::OpticalOnly)
                         .f;
    // Without a finite focal length there is no field angle: the panels stay empty and
    // carry no angle labels.
    if (f == 0.0 || !std::isfinite(f)) {
        return;
    }
    const Surface& imageRow = table[static_cast<size_t>(count - 1)];
    const int gridMode = settings.spotGridMode;
    const int gridCount = gridMode == 0 ? settings.spotGridPoints : settings.spotGridPitch;

    std::array<double, kSpotPanelCount> angles{};
    std::array<SpotSetup, kSpotPanelCount> setups{};
    std::array<bool, kSpotPanelCount> ready{};
    for (int j = 0; j < kSpotPanelCount; ++j) {
        const size_t p = static_cast<size_t>(j);
        angles[p] = std::atan(state.spotHeight[p] / f);
        ready[p] = prepareSetup(table, imageRow, state.spotMagnification, angles[p], setups[p]);
    }
    if (paintBuffered(canvas, table, state, setups, ready, angles, gridMode, gridCount, threads)) {
        return;
    }
    for (int s = 1; s <= kSpotLineCount; ++s) {
        if (state.spotLineShown[static_cast<size_t>(s - 1)] != 1) {
            continue;
        }
        for (int j = 0; j < kSpotPanelCount; ++j) {
            const size_t p = static_cast<size_t>(j);
            if (ready[p]) {
                plotPrepared(canvas, table, setups[p], gridMode, gridCount,
                             kFirstPanelCentreX + j * kPanelPitch, kPanelCentreY, s);
            }
            drawAngleLabel(canvas, j, angles[p]);
        }
    }
}

} // namespace kiro
