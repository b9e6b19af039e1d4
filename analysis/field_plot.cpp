#include "analysis/field_plot.h"

#include <array>
#include <cmath>
#include <string>

#include "analysis/aberration_curves.h"
#include "analysis/field_curves.h"
#include "analysis/ray_fans.h"
#include "analysis/spot_diagram.h"
#include "analysis/spot_statistics.h"
#include "model/c_numbers.h"

namespace kiro {

namespace {

constexpr int kTop = 40;      // the largest image height's row
constexpr int kBottom = 40;   // the baseline lies this far above the bottom
constexpr int kInset = 10;    // a plot's baseline stops this far from its half's edges
constexpr int kTickDepth = 5; // grid ticks below the baseline
constexpr int kMaxColumns = 200;
constexpr int kThickPen = 2;

struct Plot {
    int cx, left, right, y0, y1;
    double largestHeight;
    double rowOf(double height) const {
        return largestHeight > 0.0 ? y0 - (y0 - y1) * height / largestHeight : y0;
    }
};

// Axis, baseline and the grid columns every pixelsPerUnit, then the plot's title and unit.
void drawFrame(Canvas& canvas, const Plot& plot, double pixelsPerUnit, const char* title,
               const std::string& unitLabel) {
    canvas.selectPen(kThickPen, kBlack);
    canvas.moveTo(plot.cx, plot.y1 - kInset);
    canvas.lineTo(plot.cx, plot.y0 + kTickDepth);
    canvas.moveTo(plot.left, plot.y0);
    canvas.lineTo(plot.right, plot.y0);
    canvas.selectPen(1, kBlack);
    if (pixelsPerUnit >= 1.0) {
        for (int k = 1; k <= kMaxColumns && plot.cx + k * pixelsPerUnit < plot.right; ++k) {
            for (const double x : {plot.cx + k * pixelsPerUnit, plot.cx - k * pixelsPerUnit}) {
                drawLine(canvas, x, plot.y0, x, plot.y0 + kTickDepth);
            }
        }
    }
    canvas.textOut(plot.left, 4, title);
    canvas.textOut(plot.left, plot.y0 + kTickDepth + 8, "１目盛：" + unitLabel);
}

void drawCurve(Canvas& canvas, const Plot& plot, const FieldCurves& curves, double scale,
               auto&& valueOf) {
    Polyline curve(canvas);
    for (const FieldPoint& point : curves.points) {
        const double value = valueOf(point);
        if (!std::isfinite(value)) {
            curve.lift();
            continue;
        }
        const double x =
            plot.cx + std::clamp(value * scale, static_cast<double>(plot.left - plot.cx),
                                 static_cast<double>(plot.right - plot.cx));
        curve.add(x, plot.rowOf(point.height));
    }
}

} // namespace

void paintFieldCurves(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                      const FieldView& view, int w, int h) {
    if (table[0].type < 0) {
        return;
    }
    const FieldCurves curves = computeFieldCurves(table, settings, view.lineMask);
    const int half = w / 2;
    const Plot curvature{half / 2, kInset, half - kInset, h - kBottom, kTop, curves.largestHeight};
    const Plot distortion{half + half / 2, half + kInset, w - kInset,
                          h - kBottom,     kTop,          curves.largestHeight};
    const double curvatureUnit = curveGridUnit(view.curvatureScale); // micrometres
    drawFrame(canvas, curvature, curvatureUnit * view.curvatureScale / kMicrometresPerMillimetre,
              "像面湾曲  T: 太線  S: 細線", formatShownC("%g", curvatureUnit) + "um");
    // The power of ten (percent) that 50 pixels reach, as the curves' grid takes it (its
    // unit is a thousandth of its scale's).
    const double distortionUnit = curveGridUnit(view.distortionScale * kMicrometresPerMillimetre);
    drawFrame(canvas, distortion, distortionUnit * view.distortionScale, "歪曲 (d)",
              formatShownC("%g", distortionUnit) + "%");
    if (!curves.valid) {
        return;
    }
    for (int slot = WavelengthLine::First; slot <= WavelengthLine::Last; ++slot) {
        if (!maskHasLine(view.lineMask, slot)) {
            continue;
        }
        const size_t s = static_cast<size_t>(slot - WavelengthLine::First);
        canvas.selectPen(kThickPen, lineColour(slot));
        drawCurve(canvas, curvature, curves, view.curvatureScale,
                  [s](const FieldPoint& p) { return p.tangential[s]; });
        canvas.selectPen(1, lineColour(slot));
        drawCurve(canvas, curvature, curves, view.curvatureScale,
                  [s](const FieldPoint& p) { return p.sagittal[s]; });
    }
    canvas.selectPen(1, kBlack);
    drawCurve(canvas, distortion, curves, view.distortionScale,
              [](const FieldPoint& p) { return p.distortion; });
}

} // namespace kiro
