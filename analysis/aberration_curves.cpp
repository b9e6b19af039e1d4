#include "analysis/aberration_curves.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/spot_diagram.h"
#include "trace/bundles.h"

namespace kiro {

namespace {

constexpr int kAxisPenWidth = 2;
constexpr int kAxisTop = 60;       // row where the vertical axis starts
constexpr int kAxisBottomGap = 5;  // the axis ends this far above the plot's bottom
constexpr int kBaselineGap = 10;   // zone height 0 lies this far above the plot's bottom
constexpr int kBaselineInset = 10; // the baseline stops this far from the sides
constexpr int kPlotTopGap = 60;    // rows above the curve height r plus the baseline gap
constexpr int kTickTopGap = 70;    // the ten height ticks span plotHeight - 70 rows
constexpr int kHeightTicks = 10;
constexpr int kGridDotTop = 60;
constexpr int kGridDotSpacing = 4;
constexpr double kGridSpanMicrometres = 50000.0; // 50 pixels at 1000 pixels per mm
constexpr double kFallbackGridPitch = 10.0;
constexpr int kLabelX = 0;
constexpr int kLabelY = 500;

// Zone heights are divided out of r rather than multiplied by 0.01 and 0.02: the rows of
// the zones fall on whole pixels, where the last bit of t decides the row.
constexpr double kParaxialZoneDivisor = 100.0; // zone r/100 is the near-axis reference
constexpr double kZoneStepDivisor = 50.0;      // zones r/100, 3r/100, ... (r/50 apart)
constexpr double kLastZoneFraction = 1.02;     // while t <= 1.02 r: the last zone is 1.01 r
constexpr int kMaxZones = 64;                  // 52 zones, and room for the sums' rounding

// Row of zone height t: t = r lies 50 pixels below the top.
double zoneRow(int plotHeight, double r, double t) {
    return plotHeight - kBaselineGap - std::trunc((plotHeight - kPlotTopGap) / r * t);
}

template <class PointOf> void drawZoneCurve(Canvas& canvas, double r, PointOf&& pointOf) {
    Polyline curve(canvas);
    const double step = r / kZoneStepDivisor;
    const double last = kLastZoneFraction * r;
    // About kLastZoneFraction * kZoneStepDivisor zones; the count ends the walk whatever
    // the rounding of a tiny or huge r does to the sum.
    double t = r / kParaxialZoneDivisor;
    for (int k = 0; k < kMaxZones && t <= last; ++k, t += step) {
        double x = 0.0;
        double y = 0.0;
        if (pointOf(t, x, y)) {
            curve.add(x, y);
        }
        if (t + step == t) {
            break;
        }
    }
}

} // namespace

double curveGridUnit(double scale) {
    const double q = kGridSpanMicrometres / scale;
    return std::pow(10.0, std::floor(std::log(q) / std::log(10.0)));
}

void drawCurveFrame(Canvas& canvas, int w, int plotHeight, double scale, bool dotted) {
    const int cx = w / 2;
    const int y0 = plotHeight - kBaselineGap;
    canvas.selectPen(kAxisPenWidth, kBlack);
    canvas.moveTo(cx, kAxisTop);
    canvas.lineTo(cx, plotHeight - kAxisBottomGap);
    canvas.moveTo(kBaselineInset, y0);
    canvas.lineTo(w - kBaselineInset, y0);

    canvas.selectPen(1, kBlack);
    const double unit = curveGridUnit(scale);
    double g = unit * scale / 1000.0;
    if (g == 0.0) {
        g = kFallbackGridPitch;
    }
    if (g > 0.0) {
        // One grid column a pixel at most, however fine the pitch.
        double s = g;
        for (int k = 0; k < cx && s < cx - kBaselineInset; ++k, s += g) {
            const int xo = static_cast<int>(s); // 0 < s < cx: fits
            canvas.moveTo(cx + xo, y0);
            canvas.lineTo(cx + xo, plotHeight - kAxisBottomGap);
            canvas.moveTo(cx - xo, y0);
            canvas.lineTo(cx - xo, plotHeight - kAxisBottomGap);
            if (dotted) {
                for (int y = kGridDotTop; y < y0; y += kGridDotSpacing) {
                    canvas.setPixel(cx + xo, y, kBlack);
                    canvas.setPixel(cx - xo, y, kBlack);
                }
            }
            if (s + g == s) {
                break;
            }
        }
    }
    for (int k = 1; k <= kHeightTicks; ++k) {
        const double y = y0 - k * static_cast<double>(plotHeight - kTickTopGap) / kHeightTicks;
        const int halfWidth = k == kHeightTicks / 2 ? 6 : 3;
        drawLine(canvas, cx - halfWidth, y, cx + halfWidth, y);
    }
    int unitLabel = 0;
    if (toInt(unit, unitLabel)) {
        char label[64];
        std::snprintf(label, sizeof label, "１目盛：%dum", unitLabel);
        canvas.textOut(kLabelX, kLabelY, label);
    }
}

void drawSphericalAberrationCurve(Canvas& canvas, const SurfaceTable& table,
                                  const Settings& settings, int w, int plotHeight, int line,
                                  double r, double scale) {
    if (table[0].type < 0) {
        return;
    }
    drawCurveFrame(canvas, w, plotHeight, scale, true);
    canvas.selectPen(1, lineColour(line));
    // Every line is measured against the d line's near-axis focus, so the curves of the
    // other lines stand off by their longitudinal colour.
    const double zRef = zonalFocus(table, settings, WavelengthLine::d, r / kParaxialZoneDivisor,
                                   ZonalMode::OpticalOnly)
                            .point.z;
    const int cx = w / 2;
    drawZoneCurve(canvas, r, [&](double t, double& x, double& y) {
        const ZonalFocus zone = zonalFocus(table, settings, line, t, ZonalMode::OpticalOnly);
        if (zone.f == 0.0) {
            return false;
        }
        x = cx + std::trunc((zRef - zone.point.z) * scale);
        y = zoneRow(plotHeight, r, t);
        return true;
    });
}

void drawSineConditionCurve(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                            int w, int plotHeight, double r, double scale) {
    if (table[0].type < 0) {
        return;
    }
    drawCurveFrame(canvas, w, plotHeight, scale, false);
    canvas.selectPen(1, kBlack);
    const double fRef = zonalFocus(table, settings, WavelengthLine::d, r / kParaxialZoneDivisor,
                                   ZonalMode::OpticalOnly)
                            .f;
    const int cx = w / 2;
    drawZoneCurve(canvas, r, [&](double t, double& x, double& y) {
        const double v = sineFocusDeviation(table, fRef, WavelengthLine::d, t);
        if (!(v >= kSineDeviationNoValue)) {
            return false;
        }
        x = cx - std::trunc(v * scale);
        y = zoneRow(plotHeight, r, t);
        return true;
    });
}

void paintCurveDialog(Canvas& canvas, const CurveView& state, const SurfaceTable& table,
                      const Settings& settings, int w, int plotHeight) {
    const double r = apertureRadius(table);
    if (!(r > 0.0)) {
        return;
    }
    for (int s = 1; s <= kCurveLineCount; ++s) {
        if (state.curveLineShown[static_cast<size_t>(s - 1)] == 1) {
            drawSphericalAberrationCurve(canvas, table, settings, w, plotHeight, s, r,
                                         state.curveScale);
        }
    }
    drawSineConditionCurve(canvas, table, settings, w, plotHeight, r, state.curveScale);
}

} // namespace kiro
