#include "analysis/canvas.h"

#include <algorithm>
#include <cmath>

namespace kiro {

bool toPixel(double value, int& pixel) {
    int whole = 0;
    if (!toInt(value, whole)) {
        return false;
    }
    pixel = std::clamp(whole, -kPixelLimit, kPixelLimit);
    return true;
}

void Polyline::add(double x, double y) {
    int px = 0;
    int py = 0;
    if (!toPixel(x, px) || !toPixel(y, py)) {
        return;
    }
    if (started_) {
        canvas_.lineTo(px, py);
    } else {
        canvas_.moveTo(px, py);
        started_ = true;
    }
}

void drawLine(Canvas& canvas, double x0, double y0, double x1, double y1) {
    int px0 = 0;
    int py0 = 0;
    int px1 = 0;
    int py1 = 0;
    if (!toPixel(x0, px0) || !toPixel(y0, py0) || !toPixel(x1, px1) || !toPixel(y1, py1)) {
        return;
    }
    canvas.moveTo(px0, py0);
    canvas.lineTo(px1, py1);
}

} // namespace kiro
