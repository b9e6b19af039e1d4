#include "trace/ray_tracer.h"

#include "model/surface_kind.h"
#include "trace/step_kernels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kiro {

namespace {

constexpr double kAir = 1.0;

Ray stopped(const Ray& ray, Vec3 at) {
    return {ray.line, at, {}};
}

// The unit normal at a point of a mirror or lens row. On a sphere the vector to the
// centre has the length |R|, so one division by the radius replaces the normalisation. A
// normal that is no number (a paraboloid of radius 1e-320) is left for the caller to
// refuse. The caller says whether the row is a sphere, which it has asked already.
Vec3 unitNormal(const Surface& row, Vec3 p, bool spherical) {
    if (spherical) {
        // 1 / |R| is finite for every radius but 0 and the smallest denormals.
        const double inverse = 1 / std::fabs(row.radius);
        if (inverse < std::numeric_limits<double>::infinity()) {
            return {(row.x - p.x) * inverse, (row.y - p.y) * inverse,
                    (row.z + row.radius - p.z) * inverse};
        }
    }
    if (isAmong(row.type, kFlatKinds & kLensKinds)) {
        // normalize((0, 0, 1)), which is (0, 0, 1) exactly.
        return {0.0, 0.0, 1.0};
    }
    return normalize(surfaceNormal(row, p));
}

// A ray whose point or direction is no longer a number (a stop normal of (1, 0, 1e-320)
// sends the meeting point to infinity, an index of 0 on both sides of a row makes mu NaN)
// cannot be carried on: it ends as a dead ray at the last point that was a number.
Ray lost(const Ray& ray, Vec3 at) {
    return stopped(ray, isFinite(at) ? at : ray.position);
}

// Meet, aperture test, reflect or refract, for a live ray and a traced kind.
//
// Where a NaN or an infinity can enter, it is refused there, so that the common path
// pays nothing for it: the sphere kernel's point is a number for a ray and a row that
// are numbers; every other meeting point and every normal but the sphere's is checked;
// the reflection of numbers is a number; refract gives no direction for a mu that is no
// number.
inline Ray step(const Ray& ray, const Surface& row, double mu, double searchLength) {
    const int32_t type = row.type;
    // Spheres, the common case, are met by the inline kernel; it hands the rare rays it
    // leaves (dz = 0, R = 0) and every other shape to meetSurface.
    SurfaceMeet meet;
    const bool spherical = isSpherical(type);
    if (!spherical || !kernel::meetSphereByParameter(ray, {row.x, row.y, row.z + row.radius},
                                                     std::fabs(row.radius), row.z, meet)) {
        // A flat row is its plane alone.
        meet = isFlat(type) ? meetPlane(ray, {row.x, row.y, row.z}, {row.nx, row.ny, row.nz})
                            : meetSurface(ray, row, searchLength);
        if (meet.met && !isFinite(meet.point)) {
            return lost(ray, meet.point);
        }
    }
    if (!meet.met) {
        return stopped(ray, ray.position);
    }
    const Vec3 p = meet.point;
    if (isObstruction(type)) {
        return kernel::radiusBelow(p, row.effectiveRadius) ? stopped(ray, p)
                                                           : Ray{ray.line, p, ray.direction};
    }
    if (isFocal(type)) {
        return {ray.line, p, ray.direction};
    }
    if (kernel::radiusAbove(p, row.effectiveRadius)) {
        return stopped(ray, p);
    }
    if (isStop(type)) {
        return {ray.line, p, ray.direction};
    }
    const Vec3 n = unitNormal(row, p, spherical);
    if (!spherical && !isFinite(n)) {
        return stopped(ray, p);
    }
    if (isMirror(type)) {
        return {ray.line, p, kernel::reflect(ray.direction, n)};
    }
    return {ray.line, p, kernel::refract(ray.direction, n, mu)};
}

} // namespace

Vec3 reflect(Vec3 d, Vec3 n) {
    return kernel::reflect(d, n);
}

Vec3 refract(Vec3 d, Vec3 n, double mu) {
    return kernel::refract(d, n, mu);
}

double relativeIndex(const SurfaceTable& table, int i, int line) {
    if (i < 0 || i >= kSurfaceRows || line < 0 || line >= kIndexSlots) {
        return kAir;
    }
    const double after = table[i].index[line];
    return i == 0 ? after / kAir : after / table[i - 1].index[line];
}

Ray traceSurface(const Ray& ray, const Surface& row, double mu, double searchLength) {
    if (isDead(ray) || !isTraced(row.type)) {
        return ray;
    }
    return step(ray, row, mu, searchLength);
}

Ray traceSurface(const Ray& ray, const Surface& row, double mu) {
    return traceSurface(ray, row, mu, asphereSearchLength(row));
}

bool rowPassesFilter(const Surface& row, RowFilter filter) {
    switch (filter) {
    case RowFilter::NoFocal:
        return !isFocal(row.type);
    case RowFilter::OpticalOnly:
        return isMirrorOrLens(row.type);
    case RowFilter::NoStops:
        return !isStop(row.type) && !isObstruction(row.type);
    case RowFilter::All:
    default:
        return true;
    }
}

Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter) {
    return traceSystem(table, ray, filter, [](int, const Ray&) {});
}

Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter, double searchLength) {
    return traceSystem(table, ray, filter, searchLength, [](int, const Ray&) {});
}

} // namespace kiro
