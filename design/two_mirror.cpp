#include "design/two_mirror.h"

#include <cmath>

namespace kiro {

namespace {

// Primary radius that gives focal length f with a convex secondary of radius k * r1 at
// s: the combined power of two mirrors, 1/f = 2/r1 - 2/r2 + 4 s / (r1 r2), with
// r2 = k r1, solved for r1 (Rutten & van Venrooij, "Telescope Optics"):
// r1 = (sqrt(b^2 + 4 k f s) - b) / k with b = (1 - k) f. Where b >= 0 the root and b
// cancel for a small 4 k f s; there the same value is taken as 4 f s / (sqrt(..) + b).
double primaryRadius(double f, double k, double s) {
    const double b = (1.0 - k) * f;
    const double root = std::sqrt(std::pow(1.0 - k, 2.0) * std::pow(f, 2.0) + 4.0 * k * f * s);
    if (b >= 0.0 && root + b != 0.0) {
        return 4.0 * f * s / (root + b);
    }
    return (root - b) / k;
}

constexpr double kCoarseTolerance = 1.0 / 10.0; // of the aperture
constexpr double kFineTolerance = 1.0 / 1000.0;
constexpr double kCoarseGrow = 1.05, kCoarseShrink = 0.95;
constexpr double kFineGrow = 1.0005, kFineShrink = 0.9995;

// Walks s geometrically towards a zero of the back-focus error until it lies within the
// tolerance; false when the step limit is reached first.
bool walk(double f, double b, double k, double tolerance, double grow, double shrink, double& s) {
    for (int step = 0; step <= kTwoMirrorStepLimit; ++step) {
        const double g = twoMirrorBackFocusError(f, b, k, s);
        if (!(std::fabs(g) >= tolerance)) {
            return std::isfinite(g);
        }
        if (step == kTwoMirrorStepLimit) {
            break;
        }
        s = g > 0.0 ? s * grow : s * shrink;
    }
    return false;
}

} // namespace

// The image of the secondary lies f (1 - 2 s / r1) behind it, i.e. that less s behind
// the primary.
double twoMirrorBackFocusError(double f, double b, double k, double s) {
    return f * (1.0 - 2.0 * s / primaryRadius(f, k, s)) - s - b;
}

TwoMirror solveTwoMirror(double aperture, double f, double b, double k) {
    TwoMirror result;
    if (!std::isfinite(aperture) || !std::isfinite(f) || !std::isfinite(b) || !std::isfinite(k) ||
        k == 0.0) {
        return result;
    }
    double s = aperture;
    if (!walk(f, b, k, aperture * kCoarseTolerance, kCoarseGrow, kCoarseShrink, s) ||
        !walk(f, b, k, aperture * kFineTolerance, kFineGrow, kFineShrink, s)) {
        return result;
    }
    const double r1 = primaryRadius(f, k, s);
    if (!std::isfinite(s) || !std::isfinite(r1)) {
        return result;
    }
    result.solved = true;
    result.s = s;
    result.r1 = r1;
    return result;
}

} // namespace kiro
