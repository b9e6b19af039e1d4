#include "analysis/fan_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "analysis/aberration_curves.h"
#include "analysis/ray_fans.h"
#include "analysis/spot_statistics.h"
#include "model/c_numbers.h"

namespace kiro {

namespace {

constexpr int kTop = 24;    // rows above the plots: the panels' field angles
constexpr int kBottom = 24; // rows below: the unit label
constexpr int kMargin = 12; // pixels between a plot and its panel's edges
constexpr int kTickHalf = 3;
constexpr int kMaxTicks = 100;

struct PlotBox {
    int cx, cy, halfWidth, halfHeight;
};

void drawAxes(Canvas& canvas, const PlotBox& box, double tickPixels) {
    canvas.selectPen(1, kBlack);
    canvas.moveTo(box.cx - box.halfWidth, box.cy);
    canvas.lineTo(box.cx + box.halfWidth, box.cy);
    canvas.moveTo(box.cx, box.cy - box.halfHeight);
    canvas.lineTo(box.cx, box.cy + box.halfHeight);
    if (!(tickPixels >= 1.0)) {
        return;
    }
    for (int k = 1; k <= kMaxTicks && k * tickPixels <= box.halfHeight; ++k) {
        const double dy = k * tickPixels;
        drawLine(canvas, box.cx - kTickHalf, box.cy - dy, box.cx + kTickHalf, box.cy - dy);
        drawLine(canvas, box.cx - kTickHalf, box.cy + dy, box.cx + kTickHalf, box.cy + dy);
    }
}

void drawFan(Canvas& canvas, const PlotBox& box, const RayFan& fan, double scale) {
    canvas.selectPen(1, lineColour(fan.line));
    Polyline curve(canvas);
    for (int k = 0; k < kFanPoints; ++k) {
        const double offset = fan.offset[static_cast<size_t>(k)];
        if (!std::isfinite(offset)) {
            curve.lift();
            continue;
        }
        const double dy =
            std::clamp(offset / kMicrometresPerMillimetre * scale,
                       -static_cast<double>(box.halfHeight), static_cast<double>(box.halfHeight));
        curve.add(box.cx + fanPupilCoordinate(k) * box.halfWidth, box.cy - dy);
    }
}

} // namespace

void paintRayFans(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                  const FanView& view, int w, int h) {
    if (table[0].type < 0) {
        return;
    }
    const RayFans fans = computeRayFans(table, settings, view.heights, view.lineMask);
    const int panelWidth = w / kSpotPanelCount;
    const int rowHeight = (h - kTop - kBottom) / 2;
    const double unit = curveGridUnit(view.scale); // micrometres
    const double tickPixels = unit * view.scale / kMicrometresPerMillimetre;
    canvas.selectPen(1, kBlack);
    for (int j = 1; j < kSpotPanelCount; ++j) {
        canvas.moveTo(j * panelWidth, kTop);
        canvas.lineTo(j * panelWidth, h - kBottom);
    }
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        const FanPanel& panel = fans.panels[j];
        const int left = static_cast<int>(j) * panelWidth;
        char label[64];
        std::snprintf(label, sizeof label, "%s mm  %s°", formatShownC("%g", panel.height).c_str(),
                      formatShownC("%.2f", panel.fieldAngle * 180.0 / std::numbers::pi).c_str());
        canvas.textOut(left + kMargin, 4, label);
        for (const FanKind kind : {FanKind::Tangential, FanKind::Sagittal}) {
            const int row = kind == FanKind::Tangential ? 0 : 1;
            const PlotBox box{left + panelWidth / 2, kTop + row * rowHeight + rowHeight / 2,
                              panelWidth / 2 - kMargin, rowHeight / 2 - kMargin};
            drawAxes(canvas, box, tickPixels);
            canvas.textOut(left + kMargin, kTop + row * rowHeight + 2,
                           kind == FanKind::Tangential ? "T" : "S");
            if (!panel.ready) {
                continue;
            }
            for (const RayFan& fan : panel.fans) {
                if (fan.kind == kind) {
                    drawFan(canvas, box, fan, view.scale);
                }
            }
        }
    }
    canvas.selectPen(1, kBlack);
    const std::string label = "１目盛：" + formatShownC("%g", unit) + "um";
    canvas.textOut(kMargin, h - kBottom + 4, label);
}

} // namespace kiro
