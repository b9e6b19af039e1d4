#pragma once

#include <cmath>

#include "trace/ray.h"

// Pieces of the aspheric intersection shared by the bisection and the faster search, so
// that both open with the same probes and halve an interval the same way.
namespace kiro::asphere {

struct Profile {
    double z0, a1, a2, a3, a4;
};

// z0 + a1 u + a2 u^2 + a3 u^3 + a4 u^4 with u = rho^2, the powers built as products.
inline double sag(const Profile& s, double rho2) {
    const double rho4 = rho2 * rho2;
    const double rho6 = rho4 * rho2;
    const double rho8 = rho4 * rho4;
    return s.z0 + s.a1 * rho2 + s.a2 * rho4 + s.a3 * rho6 + s.a4 * rho8;
}

// F(t) = S(x(t), y(t)) - z(t): positive where the ray lies below the surface.
inline double gap(const Profile& s, const Ray& ray, double t) {
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

enum class Step { Continue, Met, Miss };

// The interval [lo, hi] of the search with F at its ends; t is the result once met.
struct Search {
    double lo = 0.0, hi = 0.0, fLo = 0.0, fHi = 0.0;
    double t = 0.0;
};

// Steps 1 to 3: the opening probes at t = 0 and t = searchLength. Returns Continue with
// the search set up when the bisection has to run. A NaN gap is a miss.
inline Step open(const Profile& s, const Ray& ray, double searchLength, Search& search) {
    search.lo = 0.0;
    search.fLo = gap(s, ray, 0.0);
    if (std::isnan(search.fLo)) {
        return Step::Miss;
    }
    if (std::fabs(search.fLo) < kOnSurface) {
        search.t = 0.0;
        return Step::Met;
    }
    search.hi = searchLength;
    search.fHi = gap(s, ray, searchLength);
    if (std::isnan(search.fHi)) {
        return Step::Miss;
    }
    if (std::fabs(search.fHi) < kOnSurface) {
        search.t = searchLength;
        return Step::Met;
    }
    return Step::Continue;
}

// One halving: probe the midpoint and keep the half that holds the change of sign.
// While both ends have the same sign only a midpoint of the other sign gives a bracket.
inline Step halve(const Profile& s, const Ray& ray, Search& search) {
    const double tm = (search.lo + search.hi) / 2;
    const double fm = gap(s, ray, tm);
    if (std::isnan(fm)) {
        return Step::Miss;
    }
    if (tm == search.lo || tm == search.hi || fm == 0.0) {
        search.t = tm;
        return Step::Met;
    }
    bool keepLower;
    if (search.fLo > 0.0) {
        if (fm <= 0.0) {
            keepLower = true;
        } else if (search.fHi > 0.0) {
            return Step::Miss;
        } else {
            keepLower = false;
        }
    } else {
        if (fm >= 0.0) {
            keepLower = true;
        } else if (search.fHi < 0.0) {
            return Step::Miss;
        } else {
            keepLower = false;
        }
    }
    if (keepLower) {
        search.hi = tm;
        search.fHi = fm;
    } else {
        search.lo = tm;
        search.fLo = fm;
    }
    return Step::Continue;
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
