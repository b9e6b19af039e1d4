#pragma once

#include <algorithm>
#include <cmath>

#include "trace/lane_choice.h"
#include "trace/ray.h"

// Pieces of the aspheric intersection shared by the bisection, the faster search and the
// packet tracer's lanes, so that all open with the same probes, halve an interval the
// same way and take the same Newton steps: each lane ends on the single ray's bits.
// Every piece is inlined into the lane loops that call it, where the vectoriser needs it
// whole; conditions are combined with & and | so that it sees no branch.
#if defined(__GNUC__)
#define KIRO_SEARCH_STEP inline __attribute__((always_inline))
#else
#define KIRO_SEARCH_STEP inline
#endif

namespace kiro::asphere {

struct Profile {
    double z0, a1, a2, a3, a4;
};

// z0 + a1 u + a2 u^2 + a3 u^3 + a4 u^4 with u = rho^2, the powers built as products.
KIRO_SEARCH_STEP double sag(const Profile& s, double rho2) {
    const double rho4 = rho2 * rho2;
    const double rho6 = rho4 * rho2;
    const double rho8 = rho4 * rho4;
    return s.z0 + s.a1 * rho2 + s.a2 * rho4 + s.a3 * rho6 + s.a4 * rho8;
}

// F(t) = S(x(t), y(t)) - z(t): positive where the ray lies below the surface.
KIRO_SEARCH_STEP double gap(const Profile& s, const Ray& ray, double t) {
    const double x = ray.position.x + t * ray.direction.x;
    const double y = ray.position.y + t * ray.direction.y;
    const double z = ray.position.z + t * ray.direction.z;
    return sag(s, x * x + y * y) - z;
}

// Below these the start point or the far end counts as on the surface.
constexpr double kOnSurface = 1e-16;
// Halving a finite interval of doubles reaches two neighbours within about 2100 steps;
// the limit only ends searches fed with infinities or NaN.
constexpr int kMaxHalvings = 4096;

enum class Step { Continue = 0, Met = 1, Miss = 2 };

// A miss, else met, else go on; as arithmetic, so that no test becomes a branch.
KIRO_SEARCH_STEP Step outcome(bool met, bool missed) {
    return static_cast<Step>(2 * static_cast<int>(missed) + static_cast<int>(met & !missed));
}

// The interval [lo, hi] of the search with F at its ends; t is the result once met.
struct Search {
    double lo = 0.0, hi = 0.0, fLo = 0.0, fHi = 0.0;
    double t = 0.0;
};

// How a piece chooses between two values it has computed: by a branch (or a conditional
// move) for one ray, by a mask in the lane loops, where a branch would keep the loop from
// being vectorised (lane_choice.h). The value chosen is the same, bit for bit.
struct ByBranch {
    static KIRO_SEARCH_STEP double pick(bool c, double a, double b) { return c ? a : b; }
};
struct ByMask {
    static KIRO_SEARCH_STEP double pick(bool c, double a, double b) { return choose(c, a, b); }
};

// The pieces below take the ray by value and the search's fields one by one, so that a
// lane loop passes no structure by reference (the vectoriser would keep it in memory);
// the forms on a Search serve the single-ray search.

// Steps 1 to 3: the opening probes at t = 0 and t = searchLength. Returns Continue with
// the search set up when the bisection has to run. A NaN gap is a miss.
template <class Choice = ByBranch>
KIRO_SEARCH_STEP Step open(const Profile& s, const Ray ray, double searchLength, double& lo,
                           double& hi, double& fLo, double& fHi, double& t) {
    const double atStart = gap(s, ray, 0.0);
    const double atEnd = gap(s, ray, searchLength);
    const bool startOn = std::fabs(atStart) < kOnSurface;
    lo = 0.0;
    hi = searchLength;
    fLo = atStart;
    fHi = atEnd;
    t = Choice::pick(startOn, 0.0, searchLength);
    const bool startLost = std::isnan(atStart);
    const bool endLost = std::isnan(atEnd);
    const bool missed = startLost | (!startOn & endLost);
    const bool met = startOn | (std::fabs(atEnd) < kOnSurface);
    return outcome(met, missed);
}

KIRO_SEARCH_STEP Step open(const Profile& s, const Ray& ray, double searchLength, Search& search) {
    return open(s, ray, searchLength, search.lo, search.hi, search.fLo, search.fHi, search.t);
}

// One halving: probe the midpoint and keep the half that holds the change of sign.
// While both ends have the same sign only a midpoint of the other sign gives a bracket.
template <class Choice = ByBranch>
KIRO_SEARCH_STEP Step halve(const Profile& s, const Ray ray, double& lo, double& hi, double& fLo,
                            double& fHi, double& t) {
    const double tm = (lo + hi) / 2;
    const double fm = gap(s, ray, tm);
    const bool lowPositive = fLo > 0.0;
    const bool keepLower = (lowPositive & (fm <= 0.0)) | (!lowPositive & (fm >= 0.0));
    const bool noChangeAbove = (lowPositive & (fHi > 0.0)) | (!lowPositive & (fHi < 0.0));
    const bool ends = (tm == lo) | (tm == hi) | (fm == 0.0);
    const bool middleLost = std::isnan(fm);
    const bool missed = middleLost | (!ends & !keepLower & noChangeAbove);
    t = tm;
    hi = Choice::pick(keepLower, tm, hi);
    fHi = Choice::pick(keepLower, fm, fHi);
    lo = Choice::pick(keepLower, lo, tm);
    fLo = Choice::pick(keepLower, fLo, fm);
    return outcome(ends, missed);
}

KIRO_SEARCH_STEP Step halve(const Profile& s, const Ray& ray, Search& search) {
    return halve(s, ray, search.lo, search.hi, search.fLo, search.fHi, search.t);
}

// Bounds of F'(t) = S'(u) u'(t) - dz over [lo, hi], u = rho^2, from interval arithmetic on
// u(t) (a convex quadratic), u'(t) (linear) and S'(u) (a sum of monotone powers of
// u >= 0). True when F' keeps one sign there, so the interval holds exactly one root.
template <class Choice = ByBranch>
KIRO_SEARCH_STEP bool monotone(const Profile& s, const Ray ray, double lo, double hi) {
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    const double w = d.x * d.x + d.y * d.y;
    const double k = p.x * d.x + p.y * d.y;
    const double p2 = p.x * p.x + p.y * p.y;
    const double uLo = p2 + (2 * k + w * lo) * lo;
    const double uHi = p2 + (2 * k + w * hi) * hi;
    const double tStar = -k / w;
    const bool turnsInside = (tStar > lo) & (tStar < hi);
    const double uTurn = p2 + (2 * k + w * tStar) * tStar;
    // max(lowest, 0) through Choice: in the lanes a branch here would make the compiler
    // square uMin on one side only, and the loop would not be vectorised.
    const double lowest = Choice::pick(turnsInside, uTurn, std::min(uLo, uHi));
    const double uMin = Choice::pick(lowest < 0.0, 0.0, lowest);
    const double uMax = std::max(uLo, uHi);
    const double duLo = 2 * (k + w * lo);
    const double duHi = 2 * (k + w * hi);

    const double min2 = uMin * uMin;
    const double max2 = uMax * uMax;
    const double a2Min = 2 * s.a2 * uMin, a2Max = 2 * s.a2 * uMax;
    const double a3Min = 3 * s.a3 * min2, a3Max = 3 * s.a3 * max2;
    const double a4Min = 4 * s.a4 * (min2 * uMin), a4Max = 4 * s.a4 * (max2 * uMax);
    const double slopeLo =
        s.a1 + std::min(a2Min, a2Max) + std::min(a3Min, a3Max) + std::min(a4Min, a4Max);
    const double slopeHi =
        s.a1 + std::max(a2Min, a2Max) + std::max(a3Min, a3Max) + std::max(a4Min, a4Max);
    const double c1 = slopeLo * duLo;
    const double c2 = slopeLo * duHi;
    const double c3 = slopeHi * duLo;
    const double c4 = slopeHi * duHi;
    const double lower = std::min(std::min(c1, c2), std::min(c3, c4)) - d.z;
    const double upper = std::max(std::max(c1, c2), std::max(c3, c4)) - d.z;
    // The bounds are computed in rounded arithmetic: demand a clear margin.
    constexpr double kMargin = 1e-9;
    const double scale = std::fabs(d.z) + std::max(std::fabs(slopeLo), std::fabs(slopeHi)) *
                                              std::max(std::fabs(duLo), std::fabs(duHi));
    return (lower > kMargin * scale) | (upper < -kMargin * scale);
}

// Newton's method kept inside the bracket [lo, hi], which holds a change of sign and a
// single root; a step leaving the bracket is replaced by a halving. It ends when a step
// is below kNewtonTolerance of t, where the next step would be below the rounding of t.
constexpr double kNewtonTolerance = 1e-9;
constexpr int kMaxNewtonSteps = 64;

// The first iterate: the secant through the bracket's ends, or its midpoint.
template <class Choice = ByBranch>
KIRO_SEARCH_STEP double newtonStart(double lo, double hi, double fLo, double fHi) {
    const double t = lo - fLo * (hi - lo) / (fHi - fLo);
    const double middle = lo + (hi - lo) / 2;
    return Choice::pick((t > lo) & (t < hi), t, middle);
}

// One Newton step from the iterate t, narrowing the bracket by the sign at t. Met with the
// result in t, or Continue with the next iterate there.
template <class Choice = ByBranch>
KIRO_SEARCH_STEP Step newtonStep(const Profile& s, const Ray ray, double& lo, double& hi,
                                 double& fLo, double& fHi, double& t) {
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    const double at = t;
    const double x = p.x + at * d.x;
    const double y = p.y + at * d.y;
    const double z = p.z + at * d.z;
    const double u = x * x + y * y;
    const double u2 = u * u;
    const double f = sag(s, u) - z;
    const double slope = s.a1 + 2 * s.a2 * u + 3 * s.a3 * u2 + 4 * s.a4 * u2 * u;
    const double df = slope * 2 * (x * d.x + y * d.y) - d.z;
    const bool sameAsLow = (f > 0.0) == (fLo > 0.0);
    lo = Choice::pick(sameAsLow, at, lo);
    hi = Choice::pick(sameAsLow, hi, at);
    fLo = Choice::pick(sameAsLow, f, fLo);
    fHi = Choice::pick(sameAsLow, fHi, f);
    const double next = at - f / df;
    const bool converged =
        (next >= lo) & (next <= hi) & (std::fabs(next - at) <= kNewtonTolerance * std::fabs(next));
    const bool inside = (next > lo) & (next < hi);
    const double middle = lo + (hi - lo) / 2;
    const bool unsplittable = (middle == lo) | (middle == hi);
    const bool onRoot = f == 0.0;
    t = Choice::pick(onRoot, at, Choice::pick(converged | inside, next, middle));
    return outcome(onRoot | converged | (!inside & unsplittable), false);
}

KIRO_SEARCH_STEP Step newtonStep(const Profile& s, const Ray& ray, Search& search) {
    return newtonStep(s, ray, search.lo, search.hi, search.fLo, search.fHi, search.t);
}

// Halves until the interval can no longer be halved.
inline Step bisect(const Profile& s, const Ray& ray, Search& search) {
    for (int k = 0; k < kMaxHalvings; ++k) {
        const Step step = halve(s, ray, search);
        if (step != Step::Continue) {
            return step;
        }
    }
    return Step::Miss;
}

} // namespace kiro::asphere
