#include "analysis/spot_diagram.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

#include "analysis/information_text.h"
#include "analysis/spot_rays.h"
#include "analysis/spot_statistics.h"
#include "model/c_numbers.h"
#include "model/fraunhofer_lines.h"

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
// Paints with more rays than this are plotted straight onto the canvas on one thread
// instead of being buffered for the threads.
constexpr size_t kMaxBufferedDots = size_t{1} << 24;

// The Airy option: the d-line disk as a polygon of this many sides, and the panel's
// numbers under it.
constexpr int kCircleSides = 64;
constexpr double kMinCirclePixels = 1.0; // a smaller disk would be a dot
constexpr int kSummaryX = 10;
constexpr int kSummaryY = 246;
constexpr int kSummaryLineHeight = 14;

// The two index slots that carry glass data only (0 and 7) have colours of their own.
constexpr Colour kSlotZeroColour{64, 0, 0};
constexpr Colour kSlotSevenColour{32, 0, 64};

// One dot as its offset from the panel centre, each within -99..99.
struct SpotDot {
    int8_t dx = 0;
    int8_t dy = 0;
};
constexpr int8_t kNoDot = INT8_MIN;

// A landing as its dot; false when the dot lies beyond the panel.
bool spotDot(const SpotOffset& offset, double magnification, SpotDot& dot) {
    const double da = offset.a * magnification;
    const double db = offset.b * magnification;
    if (!(std::fabs(da) < kDotReach && std::fabs(db) < kDotReach)) {
        return false;
    }
    dot.dx = static_cast<int8_t>(da);
    dot.dy = static_cast<int8_t>(db);
    return true;
}

void plotPrepared(Canvas& canvas, const SurfaceTable& table, const SpotBeam& beam,
                  const std::vector<double>& values, double magnification, int centreX, int centreY,
                  int line) {
    const Colour colour = lineColour(line);
    walkSpotGrid(table, beam, values, line, [&](bool arrived, const SpotOffset& offset, bool) {
        SpotDot dot;
        if (arrived && spotDot(offset, magnification, dot)) {
            canvas.setPixel(centreX + dot.dx, centreY + dot.dy, colour);
        }
    });
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
        snprintfC(label, sizeof label, "%dum", side);
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

// Traces every shown line's grid on the threads into one dot slot per ray, then draws the
// slots in the order a single thread would have plotted them. With a batch given, the
// landings are kept there too (when they fit), for statistics of the very same rays.
bool paintBuffered(Canvas& canvas, const SurfaceTable& table, const SpotView& state,
                   const SpotPanels& panels, const std::vector<double>& values, int threads,
                   SpotLandingBatch* kept) {
    const SpotTaskList tasks = spotTasks(state);
    const size_t n = values.size();
    const size_t slotsPerTask = kPupilPointsPerGridPoint * n * n;
    const size_t slotCount = slotsPerTask * static_cast<size_t>(tasks.count);
    if (slotCount > kMaxBufferedDots) {
        return false;
    }
    std::vector<SpotDot> slots(slotCount);
    const bool keepLandings = kept != nullptr && kept->keep(n, tasks.count);
    traceSpotTasks(table, tasks, panels, values, RepeatedPoints::Trace, threads,
                   [&](size_t slot, bool arrived, const SpotOffset& offset) {
                       if (!arrived || !spotDot(offset, state.spotMagnification, slots[slot])) {
                           slots[slot].dx = kNoDot;
                       }
                       if (keepLandings) {
                           kept->store(slot, arrived, offset);
                       }
                   });

    for (int t = 0; t < tasks.count; ++t) {
        const SpotTask& task = tasks.task[static_cast<size_t>(t)];
        const Colour colour = lineColour(task.line);
        const int cx = kFirstPanelCentreX + task.panel * kPanelPitch;
        const SpotDot* dots = slots.data() + static_cast<size_t>(t) * slotsPerTask;
        for (size_t k = 0; k < slotsPerTask; ++k) {
            if (dots[k].dx != kNoDot) {
                canvas.setPixel(cx + dots[k].dx, kPanelCentreY + dots[k].dy, colour);
            }
        }
        drawAngleLabel(canvas, task.panel, panels.fieldAngle[static_cast<size_t>(task.panel)]);
    }
    return true;
}

// The Airy disk as a closed polygon around the panel centre, each corner at the centre
// plus the fraction-dropped offset, so that the circle is as symmetric as the dots are.
void drawCircle(Canvas& canvas, int cx, int cy, double radius) {
    for (int k = 0; k <= kCircleSides; ++k) {
        const double t = 2.0 * std::numbers::pi * (k % kCircleSides) / kCircleSides;
        int dx = 0;
        int dy = 0;
        if (!toPixel(radius * std::cos(t), dx) || !toPixel(radius * std::sin(t), dy)) {
            return;
        }
        if (k == 0) {
            canvas.moveTo(cx + dx, cy + dy);
        } else {
            canvas.lineTo(cx + dx, cy + dy);
        }
    }
}

// Each panel's d-line Airy disk, where it fits the panel, and its numbers underneath.
void drawAiry(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
              const SpotView& state, const SpotPanels& panels, const std::vector<double>& values,
              const SpotLandingBatch& batch) {
    const SpotTaskList tasks = spotTasks(state);
    const double fNumber = informationFNumber(table, settings, apertureRadius(table));
    const double airy = airyRadius(WavelengthLine::d, fNumber);
    const double radius = airy / kMicrometresPerMillimetre * state.spotMagnification;
    const bool fits = radius >= kMinCirclePixels && radius < kDotReach;
    for (int j = 0; j < kSpotPanelCount; ++j) {
        const size_t p = static_cast<size_t>(j);
        if (fits && panels.ready[p]) {
            drawCircle(canvas, kFirstPanelCentreX + j * kPanelPitch, kPanelCentreY, radius);
        }
        const int x = kSummaryX + j * kPanelPitch;
        const SpotSpread spread = panelSpread(table, panels, j, tasks, values, batch, kAllLines);
        canvas.textOut(x, kSummaryY, spotSpreadText(spread));
        canvas.textOut(x, kSummaryY + kSummaryLineHeight, airyText(airy));
    }
}

} // namespace

namespace {

unsigned wholeMillimetres(double value) {
    constexpr double kUnsignedLimit = 4294967295.0;
    if (!(value >= 0.0)) {
        return 0;
    }
    return value >= kUnsignedLimit ? 4294967295u : static_cast<unsigned>(value);
}

} // namespace

std::array<double, kSpotPanelCount> spotOpeningHeights(const SurfaceTable& table) {
    const int last = surfaceCount(table) - 1;
    const double hL = last >= 0 ? table[static_cast<size_t>(last)].effectiveRadius : 0.0;
    return {0.0, static_cast<double>(wholeMillimetres(hL * 0.5)),
            static_cast<double>(wholeMillimetres(hL))};
}

Colour lineColour(int slot) {
    if (const FraunhoferLine* line = fraunhoferLineAt(slot)) {
        return {line->colour.red, line->colour.green, line->colour.blue};
    }
    if (slot == 0) {
        return kSlotZeroColour;
    }
    return slot == kIndexSlots - 1 ? kSlotSevenColour : kBlack;
}

bool spotScaleSquare(double magnification, int& sideMicrometres, int& halfSide) {
    const SquareSize size = squareSize(magnification);
    return toInt(size.sideMicrometres, sideMicrometres) && toPixel(size.halfSidePixels, halfSide);
}

void plotSpot(Canvas& canvas, const SurfaceTable& table, const Surface& imageRow,
              SpotGridMode gridMode, int gridCount, int centreX, int centreY, double magnification,
              double fieldAngle, int line) {
    SpotBeam beam;
    if (!prepareSpotBeam(table, imageRow, fieldAngle, beam)) {
        return;
    }
    std::vector<double> values;
    spotGridValues(beam.h0, spotGridStep(beam.h0, gridMode, gridCount), values);
    plotPrepared(canvas, table, beam, values, magnification, centreX, centreY, line);
}

void paintSpotDialog(Canvas& canvas, const SpotView& state, const SurfaceTable& table,
                     const Settings& settings, int threads) {
    canvas.selectPen(1, kBlack);
    drawFrame(canvas, state.spotMagnification);

    SpotPanels panels;
    if (!prepareSpotPanels(table, settings, state.spotHeight, panels)) {
        return;
    }
    std::vector<double> values;
    spotGridOf(table, settings, values);
    SpotLandingBatch batch;
    SpotLandingBatch* kept = state.spotAiryShown ? &batch : nullptr;
    if (!paintBuffered(canvas, table, state, panels, values, threads, kept)) {
        for (int s = 1; s <= kSpotLineCount; ++s) {
            if (state.spotLineShown[static_cast<size_t>(s - 1)] != 1) {
                continue;
            }
            for (int j = 0; j < kSpotPanelCount; ++j) {
                const size_t p = static_cast<size_t>(j);
                if (panels.ready[p]) {
                    plotPrepared(canvas, table, panels.beam[p], values, state.spotMagnification,
                                 kFirstPanelCentreX + j * kPanelPitch, kPanelCentreY, s);
                }
                drawAngleLabel(canvas, j, panels.fieldAngle[p]);
            }
        }
    }
    if (state.spotAiryShown) {
        drawAiry(canvas, table, settings, state, panels, values, batch);
    }
}

} // namespace kiro
