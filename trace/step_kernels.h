#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/surface.h"
#include "trace/ray.h"
#include "trace/surface_geometry.h"

// The innermost pieces of one tracing step, inline so that the step compiles into one
// stretch of code. Each gives the tracer's defined result to the last few digits.
namespace kiro::kernel {

// b^2 - c keeps its digits while the start lies within kNearStart radii of the centre
// and the root is above 1 / kNearStart of the radius; otherwise the discriminant is taken
// from the line's offset. Starts beyond kParameterReach radii are left to the quadratic
// in z.
constexpr double kNearStart = 4.0;
constexpr double kParameterReach = 100.0;

// The sphere in the ray's own parameter: with |d| = 1, |P + t d - C|^2 = r^2 gives
// t = -b +- sqrt(b^2 - c), b = d.(P - C), c = |P - C|^2 - r^2: the same two points as the
// quadratic in z, with one root and no division, and the same choice of the point
// nearer the vertex in z. For a start many radii away or a glancing ray, b^2 and c
// cancel to a few digits, so there the discriminant is r^2 - |f|^2 with
// f = (P - C) - b d, the offset of the line from the centre (Haines et al., "Precision
// Improvements for Ray/Sphere Intersection", Ray Tracing Gems, 2019). Returns false,
// leaving meet alone, for the cases the quadratic in z handles itself: dz = 0, a radius
// of 0, a direction that is not a unit vector, a start beyond kParameterReach radii.
inline bool meetSphereByParameter(const Ray& ray, Vec3 centre, double radius, double z0,
                                  SurfaceMeet& meet) {
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    if (d.z == 0.0 || radius == 0.0 || !(std::fabs(dot(d, d) - 1.0) <= kUnitSlack)) {
        return false;
    }
    const Vec3 oc = sub(p, centre);
    const double r2 = radius * radius;
    const double oc2 = dot(oc, oc);
    const double b = dot(d, oc);
    double disc = b * b - (oc2 - r2);
    if (oc2 > kNearStart * kNearStart * r2 || disc < r2 / (kNearStart * kNearStart)) {
        if (oc2 > kParameterReach * kParameterReach * r2) {
            return false;
        }
        const Vec3 offset = sub(oc, scale(d, b));
        disc = r2 - dot(offset, offset);
    }
    if (!(disc >= 0.0)) {
        meet = {false, p};
        return true;
    }
    const double root = std::sqrt(disc);
    const double tPlus = -b + root;
    const double tMinus = -b - root;
    const double zPlus = p.z + tPlus * d.z;
    const double zMinus = p.z + tMinus * d.z;
    const bool plusIsLow = zPlus < zMinus;
    const double zLow = plusIsLow ? zPlus : zMinus;
    const double zHigh = plusIsLow ? zMinus : zPlus;
    const double t = std::fabs(zLow - z0) <= std::fabs(zHigh - z0) ? (plusIsLow ? tPlus : tMinus)
                                                                   : (plusIsLow ? tMinus : tPlus);
    meet = {true, add(p, scale(d, t))};
    return true;
}

// r = sqrt(x^2 + y^2) against a clear radius e. Away from the rim x^2 + y^2 against e^2
// decides, with a margin far above the rounding; near the rim the root is taken. A
// distance that is no number is outside the rim for both tests.
constexpr double kRimMargin = 1e-14;

inline bool radiusAbove(Vec3 p, double e) {
    const double v = p.x * p.x + p.y * p.y;
    const double e2 = e * e;
    if (e > 0.0 && e2 >= std::numeric_limits<double>::min()) {
        if (v > e2 * (1 + kRimMargin)) {
            return true;
        }
        if (v < e2 * (1 - kRimMargin)) {
            return false;
        }
    }
    return !(std::sqrt(v) <= e);
}

inline bool radiusBelow(Vec3 p, double e) {
    const double v = p.x * p.x + p.y * p.y;
    const double e2 = e * e;
    if (e > 0.0 && e2 >= std::numeric_limits<double>::min()) {
        if (v < e2 * (1 - kRimMargin)) {
            return true;
        }
        if (v > e2 * (1 + kRimMargin)) {
            return false;
        }
    }
    return !(std::sqrt(v) >= e);
}

inline Vec3 reflect(Vec3 d, Vec3 n) {
    return sub(d, scale(n, 2 * dot(d, n)));
}

// Snell's law without the angles. The tangential part t = d - c n, c = d.n, has the
// length sin(i) to rounding at every angle, where the sine taken from c (rounded near 1
// for a small angle) keeps only half its digits. The refracted direction is t / mu plus
// the normal part sqrt(1 - |t|^2 / mu^2) on the side the ray travels (a rounded
// negative under the root counts as 0); |t| >= |mu| is total internal reflection. An
// infinite mu (the medium before has index 0) sends the ray along the normal; a NaN mu
// gives the zero direction, a dead ray.
inline Vec3 refract(Vec3 d, Vec3 n, double mu) {
    const double c = dot(d, n);
    const Vec3 tangent = sub(d, scale(n, c));
    const double sin2 = dot(tangent, tangent);
    const double mu2 = mu * mu;
    if (!(sin2 < mu2)) {
        // A mu that is no number (an index of 0 on both sides) gives no direction.
        return sin2 >= mu2 ? kernel::reflect(d, n) : Vec3{};
    }
    const double inverseMu = 1 / mu;
    const double cosT = std::sqrt(std::max(0.0, 1 - sin2 * (inverseMu * inverseMu)));
    return add(scale(tangent, inverseMu), scale(n, c > 0 ? cosT : -cosT));
}

} // namespace kiro::kernel
