#pragma once

#include <boost/multiprecision/cpp_bin_float.hpp>

#include "model/lens_system.h"
#include "trace/bundles.h"
#include "trace/ray.h"
#include "trace/ray_tracer.h"

// The tracer's defining formulas, written as plainly as they are stated (quadratics in a
// coordinate, bisection for the asphere, Snell's law through acos and asin, the focal
// length through the cosine of the angle) and evaluated at 50 significant digits. Every
// double input is exact in this type, so what is left of the rounding is far below
// anything a double can show: the yardstick the accuracy tests measure the tracer with.
namespace kiro::precise {

using Real = boost::multiprecision::cpp_bin_float_50;

struct V3 {
    Real x, y, z;
};

inline V3 toV3(Vec3 v) {
    return {Real(v.x), Real(v.y), Real(v.z)};
}
inline Vec3 toVec3(const V3& v) {
    return {static_cast<double>(v.x), static_cast<double>(v.y), static_cast<double>(v.z)};
}
inline V3 operator+(const V3& a, const V3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(const V3& a, const V3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(const V3& a, const Real& s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline Real dot(const V3& a, const V3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline bool isZero(const V3& a) {
    return a.x == 0 && a.y == 0 && a.z == 0;
}
inline V3 normalize(const V3& a) {
    const Real len = sqrt(dot(a, a));
    return len == 0 ? a : V3{a.x / len, a.y / len, a.z / len};
}
inline Real cosAngle(const V3& a, const V3& b) {
    const Real c = dot(a, b) / sqrt(dot(a, a) * dot(b, b));
    return c > 1 ? Real(1) : (c < -1 ? Real(-1) : c);
}

struct Ray {
    int line = 2;
    V3 p, d;
    bool dead() const { return isZero(d); }
};

inline Ray toPrecise(const kiro::Ray& ray) {
    return {ray.line, toV3(ray.position), toV3(ray.direction)};
}

struct Meet {
    bool met = false;
    V3 point;
};

// The roots of A f^2 + B f + E = 0 in the free coordinate, as points, then the point
// nearer the vertex in z (ties to the second).
inline Meet nearerOfRoots(const Ray& ray, const Real& a, const Real& b, const Real& e, bool freeIsZ,
                          const Real& z0) {
    const Real disc = b * b - 4 * a * e;
    if (disc < 0) {
        return {false, ray.p};
    }
    const Real root = sqrt(disc);
    const Real roots[2] = {(root - b) / (2 * a), (-root - b) / (2 * a)};
    V3 points[2];
    for (int k = 0; k < 2; ++k) {
        const Real v = roots[k];
        points[k] = freeIsZ ? V3{ray.p.x + (v - ray.p.z) * ray.d.x / ray.d.z,
                                 ray.p.y + (v - ray.p.z) * ray.d.y / ray.d.z, v}
                            : V3{v, ray.p.y + (v - ray.p.x) * ray.d.y / ray.d.x, ray.p.z};
    }
    const bool second = abs(points[1].z - z0) <= abs(points[0].z - z0);
    return {true, second ? points[1] : points[0]};
}

inline Meet meetSphere(const Ray& ray, const Surface& row) {
    const V3 c{Real(row.x), Real(row.y), Real(row.z) + Real(row.radius)};
    const Real r2 = Real(row.radius) * Real(row.radius);
    const V3& p = ray.p;
    const V3& d = ray.d;
    if (d.z != 0) {
        const Real g = d.z * (p.x - c.x) - d.x * p.z;
        const Real h = d.z * (p.y - c.y) - d.y * p.z;
        const Real dz2 = d.z * d.z;
        return nearerOfRoots(ray, d.x * d.x + d.y * d.y + dz2, 2 * (d.x * g + d.y * h - c.z * dz2),
                             g * g + h * h + (c.z * c.z - r2) * dz2, true, Real(row.z));
    }
    if (d.x != 0) {
        const Real g = d.x * (p.y - c.y) - d.y * p.x;
        const Real h = d.x * (p.z - c.z);
        const Real dx2 = d.x * d.x;
        return nearerOfRoots(ray, d.y * d.y + dx2, 2 * (d.y * g - c.x * dx2),
                             g * g + h * h + (c.x * c.x - r2) * dx2, false, Real(row.z));
    }
    return {false, ray.p};
}

inline Meet meetParaboloid(const Ray& ray, const Surface& row) {
    const V3 v{Real(row.x), Real(row.y), Real(row.z)};
    const Real radius(row.radius);
    const V3& p = ray.p;
    const V3& d = ray.d;
    if (d.z != 0) {
        const Real g = d.z * (p.x - v.x) - d.x * p.z;
        const Real h = d.z * (p.y - v.y) - d.y * p.z;
        const Real dz2 = d.z * d.z;
        const Real a = d.x * d.x + d.y * d.y;
        const Real b = 2 * (d.x * g + d.y * h - radius * dz2);
        const Real e = g * g + h * h + 2 * v.z * radius * dz2;
        if (a == 0) {
            if (b == 0) {
                return {false, p};
            }
            const Real z = -e / b;
            return {true, {p.x + (z - p.z) * d.x / d.z, p.y + (z - p.z) * d.y / d.z, z}};
        }
        return nearerOfRoots(ray, a, b, e, true, v.z);
    }
    if (d.x != 0) {
        const Real k = d.x * (p.y - v.y) - d.y * p.x;
        const Real dx2 = d.x * d.x;
        return nearerOfRoots(ray, dx2 + d.y * d.y, 2 * (d.y * k - v.x * dx2),
                             v.x * v.x * dx2 + k * k - 2 * radius * (p.z - v.z) * dx2, false, v.z);
    }
    return {false, p};
}

inline Real sag(const Surface& row, const Real& rho2) {
    return Real(row.z) +
           rho2 * (Real(row.radius) +
                   rho2 * (Real(row.a2) + rho2 * (Real(row.a3) + rho2 * Real(row.a4))));
}

// Bisection on t over 0..searchLength, as the double search defines it, until the
// interval stops shrinking at this precision.
inline Meet meetAsphere(const Ray& ray, const Surface& row, double searchLength) {
    const V3& p = ray.p;
    const V3& d = ray.d;
    if (d.x == 0 && d.y == 0) {
        return {true, {p.x, p.y, sag(row, p.x * p.x + p.y * p.y)}};
    }
    const auto gap = [&](const Real& t) {
        const V3 q = p + d * t;
        return sag(row, q.x * q.x + q.y * q.y) - q.z;
    };
    const Real onSurface(1e-16);
    Real lo = 0, hi = searchLength;
    Real fLo = gap(lo);
    if (abs(fLo) < onSurface) {
        return {true, p};
    }
    Real fHi = gap(hi);
    if (abs(fHi) < onSurface) {
        return {true, p + d * hi};
    }
    constexpr int kMaxHalvings = 1000;
    for (int k = 0; k < kMaxHalvings; ++k) {
        const Real tm = (lo + hi) / 2;
        const Real fm = gap(tm);
        if (tm == lo || tm == hi || fm == 0) {
            return {true, p + d * tm};
        }
        bool keepLower;
        if (fLo > 0) {
            if (fm <= 0) {
                keepLower = true;
            } else if (fHi > 0) {
                return {false, p};
            } else {
                keepLower = false;
            }
        } else if (fm >= 0) {
            keepLower = true;
        } else if (fHi < 0) {
            return {false, p};
        } else {
            keepLower = false;
        }
        (keepLower ? hi : lo) = tm;
        (keepLower ? fHi : fLo) = fm;
    }
    return {false, p};
}

inline Meet meetPlane(const Ray& ray, const Surface& row) {
    const V3 n{Real(row.nx), Real(row.ny), Real(row.nz)};
    const Real u = dot(n, ray.d);
    if (u == 0) {
        return {false, ray.p};
    }
    const Real s = dot(n, V3{Real(row.x), Real(row.y), Real(row.z)} - ray.p) / u;
    return {true, ray.p + ray.d * s};
}

inline Meet meetSurface(const Ray& ray, const Surface& row, double searchLength) {
    switch (row.type) {
    case SurfaceType::SphericalFocal:
    case SurfaceType::SphericalMirror:
    case SurfaceType::SphericalLens:
        return meetSphere(ray, row);
    case SurfaceType::ParaboloidMirror:
        return meetParaboloid(ray, row);
    case SurfaceType::AsphericMirror:
    case SurfaceType::AsphericLens:
        return meetAsphere(ray, row, searchLength);
    default:
        return meetPlane(ray, row);
    }
}

inline V3 surfaceNormal(const Surface& row, const V3& q) {
    const Real dx = Real(row.x) - q.x;
    const Real dy = Real(row.y) - q.y;
    switch (row.type) {
    case SurfaceType::FlatMirror:
        return {Real(row.nx), Real(row.ny), Real(row.nz)};
    case SurfaceType::SphericalMirror:
    case SurfaceType::SphericalLens:
        return {dx, dy, Real(row.z) + Real(row.radius) - q.z};
    case SurfaceType::ParaboloidMirror:
        return {dx, dy,
                Real(row.z) + Real(row.radius) + (dx * dx + dy * dy) / (2 * Real(row.radius)) -
                    q.z};
    case SurfaceType::AsphericMirror:
    case SurfaceType::AsphericLens: {
        const Real l = dx * dx + dy * dy;
        const Real slope = 2 * Real(row.radius) +
                           l * (4 * Real(row.a2) + l * (6 * Real(row.a3) + l * 8 * Real(row.a4)));
        if (slope == 0) {
            return {0, 0, 1};
        }
        return {dx, dy, 1 / slope + sag(row, l) - q.z};
    }
    default:
        return {0, 0, 1};
    }
}

inline V3 reflect(const V3& d, const V3& n) {
    return d - n * (2 * dot(d, n));
}

// Snell's law with the angles, as it is stated.
inline V3 refract(const V3& d, const V3& n, const Real& mu) {
    const Real c = cosAngle(d, n);
    const Real theta = acos(c);
    const Real pi = boost::math::constants::pi<Real>();
    const Real s = (c > 0 ? sin(theta) : sin(pi - theta)) / mu;
    if (abs(s) >= 1) {
        return reflect(d, n);
    }
    const V3 t = normalize(d - n * c);
    const Real thetaT = asin(s);
    return c > 0 ? t * sin(thetaT) + n * cos(thetaT) : t * s - n * cos(thetaT);
}

inline Real relativeIndex(const SurfaceTable& table, int i, int line) {
    const Real after(table[i].index[line]);
    return i == 0 ? after : after / Real(table[i - 1].index[line]);
}

inline Ray traceSurface(const Ray& ray, const Surface& row, const Real& mu, double searchLength) {
    if (ray.dead()) {
        return ray;
    }
    const Meet meet = meetSurface(ray, row, searchLength);
    if (!meet.met) {
        return {ray.line, ray.p, {}};
    }
    const V3 q = meet.point;
    const Real r = sqrt(q.x * q.x + q.y * q.y);
    const Real clear(row.effectiveRadius);
    Ray out{ray.line, q, ray.d};
    if (row.type == SurfaceType::Obstruction) {
        out.d = r < clear ? V3{} : ray.d;
        return out;
    }
    if (row.type == SurfaceType::FlatFocal || row.type == SurfaceType::SphericalFocal) {
        return out;
    }
    if (r > clear) {
        out.d = {};
        return out;
    }
    if (row.type == SurfaceType::Stop) {
        return out;
    }
    const V3 n = normalize(surfaceNormal(row, q));
    out.d = row.type < SurfaceType::FirstRefracting ? reflect(ray.d, n) : refract(ray.d, n, mu);
    return out;
}

// The row loop; visit(row, ray) after every traced row.
template <class Visit>
Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter, Visit&& visit) {
    const double searchLength = asphereSearchLength(table);
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (!rowPassesFilter(table[i], filter)) {
            continue;
        }
        ray.d = normalize(ray.d);
        ray = precise::traceSurface(ray, table[i], precise::relativeIndex(table, i, ray.line),
                                    searchLength);
        visit(i, ray);
    }
    return ray;
}

inline V3 crossPoint(const Ray& a, const Ray& b) {
    if (a.dead() || b.dead()) {
        return {};
    }
    const V3 &pa = a.p, &da = a.d, &pb = b.p, &db = b.d;
    if (da.x != 0) {
        const Real den = da.y * db.x - da.x * db.y;
        const Real x =
            den == 0
                ? (pa.x + pb.x) / 2
                : (db.x * (da.y * pa.x - da.x * pa.y) - da.x * (db.y * pb.x - db.x * pb.y)) / den;
        return {x, pa.y + da.y * (x - pa.x) / da.x, pa.z + da.z * (x - pa.x) / da.x};
    }
    const Real x = (pa.x + pb.x) / 2;
    if (da.y == 0) {
        return {x, (pa.y + pb.y) / 2, (pa.z + pb.z) / 2};
    }
    const Real den = da.z * db.y - da.y * db.z;
    const Real y =
        den == 0 ? (pa.y + pb.y) / 2
                 : (db.y * (da.z * pa.y - da.y * pa.z) - da.y * (db.z * pb.y - db.y * pb.z)) / den;
    return {x, y, pa.z + da.z * (y - pa.y) / da.y};
}

inline Real focalLength(double h, const V3& a, const V3& b) {
    return Real(h) / sin(acos(cosAngle(a, b)) / 2);
}

struct Focus {
    bool found = false;
    Real f;
    V3 point;
};

inline Focus zonalFocus(const SurfaceTable& table, const Settings& settings, int line, double h,
                        ZonalMode mode) {
    if (table[0].type < 0) {
        return {};
    }
    const RowFilter filter =
        mode == ZonalMode::WithStops ? RowFilter::NoFocal : RowFilter::OpticalOnly;
    const Real z0(table[0].z);
    Ray rays[2];
    for (int k = 0; k < 2; ++k) {
        const Real xt = k == 0 ? Real(-h) : Real(h);
        if (settings.sourceMode == SourceMode::Point) {
            const V3 source = toV3({settings.sourceX, settings.sourceY, settings.sourceZ});
            rays[k] = {line, source, {xt - source.x, 0, z0 - source.z}};
        } else {
            rays[k] = {line, {xt, 0, z0}, {0, 0, -1}};
        }
        rays[k] = traceSystem(table, rays[k], filter, [](int, const Ray&) {});
        if (rays[k].dead()) {
            return {};
        }
    }
    return {true, focalLength(h, rays[0].d, rays[1].d), crossPoint(rays[0], rays[1])};
}

// The deviation without fRef; found is false where the double gives -99999.
inline Focus sineFocalLength(const SurfaceTable& table, int line, double h) {
    const Real z0(table[0].z);
    Ray a{line, {Real(-h), 0, z0}, {0, 0, -1}};
    Ray b{WavelengthLine::d, {Real(h), 0, z0}, {0, 0, -1}};
    a = traceSystem(table, a, RowFilter::OpticalOnly, [](int, const Ray&) {});
    b = traceSystem(table, b, RowFilter::OpticalOnly, [](int, const Ray&) {});
    if (a.dead() || b.dead()) {
        return {};
    }
    return {true, focalLength(h, a.d, b.d), crossPoint(a, b)};
}

} // namespace kiro::precise
