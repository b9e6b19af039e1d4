#pragma once

#include <algorithm>
#include <cmath>

namespace kiro {

// A point, direction or normal in the design's coordinates (mm).
struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

constexpr Vec3 add(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr Vec3 sub(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr Vec3 scale(Vec3 a, double s) {
    return {s * a.x, s * a.y, s * a.z};
}
constexpr Vec3 negate(Vec3 a) {
    return {-a.x, -a.y, -a.z};
}
constexpr Vec3 divide(Vec3 a, double s) {
    return {a.x / s, a.y / s, a.z / s};
}
constexpr double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
constexpr Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) {
    return std::sqrt(dot(a, a));
}
constexpr bool isZero(Vec3 a) {
    return a.x == 0.0 && a.y == 0.0 && a.z == 0.0;
}
// No component is infinite or NaN.
inline bool isFinite(Vec3 a) {
    return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

// a / |a|, component by component; the zero vector stays zero.
inline Vec3 normalize(Vec3 a) {
    const double len = length(a);
    if (len == 0.0) {
        return a;
    }
    return {a.x / len, a.y / len, a.z / len};
}

// How far |d|^2 of a normalised direction may lie from 1 after rounding.
constexpr double kUnitSlack = 1e-15;

// The direction normalised. A direction that is a unit vector to rounding already (every
// direction leaving a mirror or a lens is) is taken as it is: normalising it again would
// move only its last bits.
inline Vec3 unitDirection(Vec3 d) {
    if (std::fabs(dot(d, d) - 1.0) <= kUnitSlack) {
        return d;
    }
    return normalize(d);
}

// Cosine of the angle between a and b, clamped to -1..1.
inline double cosAngle(Vec3 a, Vec3 b) {
    return std::clamp(dot(a, b) / std::sqrt(dot(a, a) * dot(b, b)), -1.0, 1.0);
}

} // namespace kiro
