#include "analysis/light_amount_curve.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "model/surface_kind.h"
#include "trace/bundles.h"

namespace kiro {

namespace {

constexpr int kAxisPenWidth = 2;
constexpr Colour kCurveColour{255, 0, 0};
constexpr int kLeft = 20;      // column of the field centre
constexpr int kSideGap = 20;   // the plot ends this far from the right side
constexpr int kTop = 40;       // row of 100 %
constexpr int kBottomGap = 20; // row of the floor percentage above the plot's bottom
constexpr int kRowSpanGap = kTop + kBottomGap; // the percentages span plotHeight - 60 rows
constexpr int kColumnTickGap = 24;             // field ticks and dots end this far above the bottom
constexpr int kColumnLabelGap = 18;
constexpr int kColumnLabelShift = 16;
constexpr int kDotSpacing = 4;
constexpr int kHalfLevelDotSpacing = 2;
constexpr int kHalfLevelTickX = 10;
constexpr int kLevelTickX = 15;
constexpr int kZeroLevelX = 10;
constexpr double kColumnPitch = 10.0; // mm of image height between field columns
constexpr int kRowPitch = 10;         // percent between percentage rows
constexpr int kHalfLevel = 50;
constexpr int kZeroLevel = 100;
// A field wider than this many columns (10 m of image height) gets no more of them: they
// would be closer than a pixel, and a nonsensical radius would stall the paint.
constexpr int kMaxFieldColumns = 1000;

constexpr int kCurveSteps = 20;     // points every R/20
constexpr int kMaxCurvePoints = 32; // the summed steps give 21, or 22 after rounding
constexpr double kParaxialZoneDivisor = 100.0;

void drawFrame(Canvas& canvas, int w, int plotHeight, int floor) {
    canvas.selectPen(kAxisPenWidth, kBlack);
    canvas.textOut(0, 20, "100%");
    char floorText[16];
    std::snprintf(floorText, sizeof floorText, "%d%%", floor);
    canvas.textOut(0, plotHeight - 12, floorText);
    canvas.textOut(kLeft, 4, "中心");
    canvas.moveTo(kLeft, kTop);
    canvas.lineTo(w - kSideGap, kTop);
    canvas.moveTo(kLeft, kTop);
    canvas.lineTo(kLeft, plotHeight - kBottomGap);
}

void drawFieldColumns(Canvas& canvas, int w, int plotHeight, double fieldWidth) {
    const int plotWidth = w - 2 * kSideGap;
    int columns = 0;
    for (double d = 0.0; d < fieldWidth && columns < kMaxFieldColumns;
         d += kColumnPitch, ++columns) {
        int x = 0;
        if (!toPixel(kLeft + std::trunc(d * plotWidth / fieldWidth), x)) {
            continue;
        }
        canvas.moveTo(x, plotHeight - kColumnTickGap);
        canvas.lineTo(x, plotHeight - kBottomGap);
        for (int y = kTop; y < plotHeight - kColumnTickGap; y += kDotSpacing) {
            canvas.setPixel(x, y, kBlack);
        }
        int millimetres = 0;
        if (d > 0.0 && toInt(d, millimetres)) {
            char label[32];
            std::snprintf(label, sizeof label, "%dmm", millimetres);
            canvas.textOut(x - kColumnLabelShift, plotHeight - kColumnLabelGap, label);
        }
    }
}

// Rows every 10 % of drop from 100 % down to the floor.
void drawPercentageRows(Canvas& canvas, int w, int plotHeight, int lim) {
    for (int p = 0; p <= lim; p += kRowPitch) {
        int y = 0;
        if (!toPixel(kTop + p * static_cast<double>(plotHeight - kRowSpanGap) / lim, y)) {
            continue;
        }
        if (p == kHalfLevel) {
            for (int x = kLeft; x < w - kSideGap; x += kHalfLevelDotSpacing) {
                canvas.setPixel(x, y, kBlack);
            }
            canvas.moveTo(kHalfLevelTickX, y);
            canvas.lineTo(kLeft, y);
        } else if (p == kZeroLevel) {
            canvas.moveTo(kZeroLevelX, y);
            canvas.lineTo(w - kSideGap, y);
        } else {
            for (int x = kLeft; x < w - kSideGap; x += kDotSpacing) {
                canvas.setPixel(x, y, kBlack);
            }
            canvas.moveTo(kLevelTickX, y);
            canvas.lineTo(kLeft, y);
        }
    }
}

void drawCurve(Canvas& canvas, const SurfaceTable& table, const Settings& settings, int w,
               int plotHeight, double fieldWidth, int lim, int threads) {
    const double aperture = lightAperture(table);
    if (!(fieldWidth > 0.0) || !std::isfinite(fieldWidth) || !(aperture > 0.0)) {
        return;
    }
    const double f = zonalFocus(table, settings, WavelengthLine::d,
                                fieldWidth / kParaxialZoneDivisor, ZonalMode::OpticalOnly)
                         .f;
    if (f == 0.0) {
        return;
    }
    std::array<double, kMaxCurvePoints> heights{};
    int count = 0;
    const double step = fieldWidth / kCurveSteps;
    for (double d = 0.0; d <= fieldWidth && count < kMaxCurvePoints; d += step) {
        heights[static_cast<size_t>(count++)] = d;
    }
    std::array<double, kMaxCurvePoints> amounts{};
    runPartitioned(count, threads, [&](int begin, int end) {
        for (int k = begin; k < end; ++k) {
            const size_t i = static_cast<size_t>(k);
            const double fieldAngle = std::atan(heights[i] / f);
            amounts[i] = lightAmount(table, settings, fieldAngle, aperture, WavelengthLine::d);
        }
    });

    const int plotWidth = w - 2 * kSideGap;
    Polyline curve(canvas);
    for (int k = 0; k < count; ++k) {
        const size_t i = static_cast<size_t>(k);
        int drop = 0; // whole percent below 100, the fraction dropped towards 0
        if (!toInt((amounts[i] - 1.0) * 100.0, drop)) {
            continue;
        }
        const long long row = kTop - static_cast<long long>(drop) *
                                         (static_cast<long long>(plotHeight) - kRowSpanGap) / lim;
        curve.add(kLeft + plotWidth * heights[i] / fieldWidth, static_cast<double>(row));
    }
}

} // namespace

double fieldRadius(const SurfaceTable& table) {
    double radius = -1.0;
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (isFocal(table[i].type)) {
            radius = table[i].effectiveRadius;
        }
    }
    return radius;
}

double lightAperture(const SurfaceTable& table) {
    double radius = -1.0;
    bool found = false;
    const auto take = [&](double r) {
        if (!found || r < radius) {
            radius = r;
            found = true;
        }
    };
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (isStop(table[i].type)) {
            take(table[i].effectiveRadius);
        } else if (isCurvedMirrorOrLens(table[i].type)) {
            take(table[i].effectiveRadius);
            break;
        }
    }
    return radius;
}

double plottedFieldRadius(const SurfaceTable& table) {
    const double field = fieldRadius(table);
    if (field >= 0.0) {
        return field;
    }
    const double aperture = lightAperture(table);
    return aperture > 0.0 ? aperture : -1.0;
}

void drawLightAmountCurve(Canvas& canvas, const SurfaceTable& table, const Settings& settings,
                          int w, int plotHeight, double fieldWidth, int floor, int threads) {
    if (table[0].type < 0) {
        return;
    }
    floor = std::clamp(floor, kLightFloorMin, kLightFloorMax);
    const int lim = 100 - floor;
    drawFrame(canvas, w, plotHeight, floor);
    canvas.selectPen(1, kBlack);
    if (fieldWidth > 0.0 && std::isfinite(fieldWidth)) {
        drawFieldColumns(canvas, w, plotHeight, fieldWidth);
    }
    drawPercentageRows(canvas, w, plotHeight, lim);
    canvas.selectPen(1, kCurveColour);
    drawCurve(canvas, table, settings, w, plotHeight, fieldWidth, lim, threads);
}

void paintLightDialog(Canvas& canvas, const SurfaceTable& table, const Settings& settings, int w,
                      int plotHeight, int floor, int threads) {
    drawLightAmountCurve(canvas, table, settings, w, plotHeight, plottedFieldRadius(table), floor,
                         threads);
}

} // namespace kiro
