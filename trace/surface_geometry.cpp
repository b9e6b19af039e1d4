#include "trace/surface_geometry.h"

#include <algorithm>
#include <cmath>

#include "model/surface_kind.h"
#include "trace/asphere_search.h"
#include "trace/step_kernels.h"

namespace kiro {

namespace {

constexpr double kFrameMargin = 10.0; // mm added on either side of the axial extent

// Roots of a quadratic in one coordinate of the ray (z, or x for a ray with dz = 0). The
// other two coordinates follow from the ray; a ray with dz = 0 keeps its z.
struct CoordinateRoots {
    int count = 0;
    bool freeIsZ = true;
    double first = 0.0, second = 0.0;
};

Vec3 pointAt(const Ray& ray, const CoordinateRoots& roots, double value) {
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    if (roots.freeIsZ) {
        return {p.x + (value - p.z) * d.x / d.z, p.y + (value - p.z) * d.y / d.z, value};
    }
    return {value, p.y + (value - p.x) * d.y / d.x, p.z};
}

// A f^2 + B f + E = 0, roots (+sqrt - B) / 2A and (-sqrt - B) / 2A; a NaN discriminant is
// a miss like a negative one. The root whose two terms have the same sign is taken as
// written; the other, which would cancel (the point near the vertex, for a ray nearly
// along the axis of a shallow surface), as E / (A x the first), the same root in exact
// arithmetic.
CoordinateRoots solveQuadratic(double a, double b, double e, bool freeIsZ) {
    CoordinateRoots roots;
    roots.freeIsZ = freeIsZ;
    const double disc = b * b - 4 * a * e;
    if (!(disc >= 0.0)) {
        return roots;
    }
    const double root = std::sqrt(disc);
    roots.count = 2;
    const double far = b < 0.0 ? root - b : -root - b;
    if (far == 0.0) {
        roots.first = roots.second = -b / (2 * a);
        return roots;
    }
    const double near = 2 * e / far;
    roots.first = b < 0.0 ? far / (2 * a) : near;
    roots.second = b < 0.0 ? near : far / (2 * a);
    return roots;
}

// The sphere's equation multiplied by the square of the free coordinate's direction
// component, with the other coordinates written through the free one.
CoordinateRoots sphereRoots(const Ray& ray, Vec3 c, double radius) {
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    const double r2 = radius * radius;
    if (d.z != 0.0) {
        const double g = d.z * (p.x - c.x) - d.x * p.z;
        const double h = d.z * (p.y - c.y) - d.y * p.z;
        const double dz2 = d.z * d.z;
        const double a = d.x * d.x + d.y * d.y + dz2;
        const double b = 2 * (d.x * g + d.y * h - c.z * dz2);
        const double e = g * g + h * h + (c.z * c.z - r2) * dz2;
        return solveQuadratic(a, b, e, true);
    }
    if (d.x != 0.0) {
        const double g = d.x * (p.y - c.y) - d.y * p.x;
        const double h = d.x * (p.z - c.z);
        const double dx2 = d.x * d.x;
        const double a = d.y * d.y + dx2;
        const double b = 2 * (d.y * g - c.x * dx2);
        const double e = g * g + h * h + (c.x * c.x - r2) * dx2;
        return solveQuadratic(a, b, e, false);
    }
    return {};
}

// (x - x0)^2 + (y - y0)^2 = 2R (z - z0), treated like the sphere.
CoordinateRoots paraboloidRoots(const Ray& ray, Vec3 v, double radius) {
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    if (d.z != 0.0) {
        const double g = d.z * (p.x - v.x) - d.x * p.z;
        const double h = d.z * (p.y - v.y) - d.y * p.z;
        const double dz2 = d.z * d.z;
        const double a = d.x * d.x + d.y * d.y;
        const double b = 2 * (d.x * g + d.y * h - radius * dz2);
        const double e = g * g + h * h + 2 * v.z * radius * dz2;
        if (a == 0.0) {
            // Parallel to the axis: the sag at the ray's own x, y.
            CoordinateRoots roots;
            if (b != 0.0) {
                roots.count = 1;
                roots.first = roots.second = -e / b;
            }
            return roots;
        }
        return solveQuadratic(a, b, e, true);
    }
    if (d.x != 0.0) {
        // z stays pz: dx^2 (x - x0)^2 + (k + x dy)^2 = 2R (pz - z0) dx^2 with
        // k = dx (py - y0) - dy px, a quadratic in x whose leading term never vanishes.
        const double k = d.x * (p.y - v.y) - d.y * p.x;
        const double dx2 = d.x * d.x;
        const double a = dx2 + d.y * d.y;
        const double b = 2 * (d.y * k - v.x * dx2);
        const double e = v.x * v.x * dx2 + k * k - 2 * radius * (p.z - v.z) * dx2;
        return solveQuadratic(a, b, e, false);
    }
    return {};
}

QuadricMeet toMeet(const Ray& ray, const CoordinateRoots& roots) {
    QuadricMeet meet;
    meet.count = roots.count;
    if (roots.count == 0) {
        meet.first = meet.second = ray.position;
        return meet;
    }
    meet.first = pointAt(ray, roots, roots.first);
    meet.second = roots.count == 2 ? pointAt(ray, roots, roots.second) : meet.first;
    return meet;
}

// Of two points, the one nearer the vertex in z; ties go to the second. A ray with dz = 0
// gives two points of equal z, so the second. Only the chosen point is built.
SurfaceMeet nearerPoint(const Ray& ray, const CoordinateRoots& roots, double z0) {
    if (roots.count == 0) {
        return {false, ray.position};
    }
    if (roots.count == 1 || !roots.freeIsZ) {
        return {true, pointAt(ray, roots, roots.count == 1 ? roots.first : roots.second)};
    }
    const bool second = std::fabs(roots.second - z0) <= std::fabs(roots.first - z0);
    return {true, pointAt(ray, roots, second ? roots.second : roots.first)};
}

// Newton's method from the secant through the bracket, which holds a single root; after
// kMaxNewtonSteps the bracket reached is left to the bisection.
asphere::Step newtonInBracket(const asphere::Profile& s, const Ray& ray, asphere::Search& search) {
    search.t = asphere::newtonStart(search.lo, search.hi, search.fLo, search.fHi);
    for (int n = 0; n < asphere::kMaxNewtonSteps; ++n) {
        const asphere::Step step = asphere::newtonStep(s, ray, search);
        if (step != asphere::Step::Continue) {
            return step;
        }
    }
    return asphere::Step::Continue;
}

} // namespace

SurfaceMeet meetPlane(const Ray& ray, Vec3 vertex, Vec3 normal) {
    const double u = dot(normal, ray.direction);
    if (u == 0.0) {
        return {false, ray.position};
    }
    const double s = dot(normal, sub(vertex, ray.position)) / u;
    return {true, add(ray.position, scale(ray.direction, s))};
}

QuadricMeet meetSphere(const Ray& ray, Vec3 centre, double radius) {
    return toMeet(ray, sphereRoots(ray, centre, radius));
}

QuadricMeet meetParaboloid(const Ray& ray, Vec3 vertex, double radius) {
    return toMeet(ray, paraboloidRoots(ray, vertex, radius));
}

// The bisection's opening probes decide between a miss and a bracket exactly as the
// plain bisection does; inside the bracket Newton's method, guarded by the bracket and
// used only once the bracket holds a single root, finds the same root in a few steps.
SurfaceMeet meetAsphere(const Ray& ray, double z0, double a1, double a2, double a3, double a4,
                        double searchLength) {
    const asphere::Profile s{z0, a1, a2, a3, a4};
    const Vec3 p = ray.position;
    const Vec3 d = ray.direction;
    if (d.x == 0.0 && d.y == 0.0) {
        return {true, {p.x, p.y, asphere::sag(s, p.x * p.x + p.y * p.y)}};
    }
    asphere::Search search;
    asphere::Step step = asphere::open(s, ray, searchLength, search);
    if (step == asphere::Step::Continue) {
        step = asphere::halve(s, ray, search);
    }
    for (int k = 0; step == asphere::Step::Continue && k < asphere::kMaxHalvings; ++k) {
        if (asphere::monotone(s, ray, search.lo, search.hi)) {
            step = newtonInBracket(s, ray, search);
            if (step == asphere::Step::Continue) {
                step = asphere::bisect(s, ray, search);
            }
            break;
        }
        step = asphere::halve(s, ray, search);
    }
    if (step != asphere::Step::Met) {
        return {false, p};
    }
    return {true, add(p, scale(d, search.t))};
}

SurfaceMeet meetSurface(const Ray& ray, const Surface& row, double searchLength) {
    const SurfaceKindInfo* kind = surfaceKindInfo(row.type);
    if (kind == nullptr) {
        return {false, ray.position};
    }
    const Vec3 vertex{row.x, row.y, row.z};
    switch (kind->shape) {
    case SurfaceShape::Flat:
        return meetPlane(ray, vertex, {row.nx, row.ny, row.nz});
    case SurfaceShape::Spherical: {
        const Vec3 centre{row.x, row.y, row.z + row.radius};
        const double radius = std::fabs(row.radius);
        SurfaceMeet meet;
        if (kernel::meetSphereByParameter(ray, centre, radius, row.z, meet)) {
            return meet;
        }
        return nearerPoint(ray, sphereRoots(ray, centre, radius), row.z);
    }
    case SurfaceShape::Paraboloid:
        return nearerPoint(ray, paraboloidRoots(ray, vertex, row.radius), row.z);
    case SurfaceShape::Aspheric:
        return meetAsphere(ray, row.z, asphericA1(row), row.a2, row.a3, row.a4, searchLength);
    }
    return {false, ray.position};
}

Vec3 surfaceNormal(const Surface& row, Vec3 point) {
    constexpr Vec3 kAxis{0.0, 0.0, 1.0};
    const SurfaceKindInfo* kind = surfaceKindInfo(row.type);
    // Rows that turn no ray face the axis. So does a flat lens, whatever normal it keeps.
    if (kind == nullptr || (kind->role != SurfaceRole::Mirror && kind->role != SurfaceRole::Lens)) {
        return kAxis;
    }
    const double dx = row.x - point.x;
    const double dy = row.y - point.y;
    switch (kind->shape) {
    case SurfaceShape::Flat:
        return kind->role == SurfaceRole::Mirror ? Vec3{row.nx, row.ny, row.nz} : kAxis;
    case SurfaceShape::Spherical:
        return {dx, dy, row.z + row.radius - point.z};
    case SurfaceShape::Paraboloid:
        if (row.radius == 0.0) {
            return kAxis;
        }
        return {dx, dy, row.z + row.radius + (dx * dx + dy * dy) * 0.5 / row.radius - point.z};
    case SurfaceShape::Aspheric: {
        const double a1 = asphericA1(row);
        if (a1 == 0.0 && row.a2 == 0.0 && row.a3 == 0.0 && row.a4 == 0.0) {
            return kAxis;
        }
        const double l = dx * dx + dy * dy;
        const double l2 = l * l;
        const double l3 = l2 * l;
        const double l4 = l2 * l2;
        const double q = 2 * a1 + 4 * row.a2 * l + 6 * row.a3 * l2 + 8 * row.a4 * l3;
        // A slope so small that 1 / q overflows (a1 = 1e-320) is flat as well.
        if (q == 0.0 || !std::isfinite(1 / q)) {
            return kAxis;
        }
        return {dx, dy, 1 / q + row.z + a1 * l + row.a2 * l2 + row.a3 * l3 + row.a4 * l4 - point.z};
    }
    }
    return kAxis;
}

double asphereSearchLength(const SurfaceTable& table) {
    double zMax = 0.0;
    double zMin = 0.0;
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        zMax = std::max(zMax, table[i].z);
        zMin = std::min(zMin, table[i].z);
    }
    return (zMax + kFrameMargin) - (zMin - kFrameMargin);
}

double asphereSearchLength(const Surface& row) {
    return (std::max(0.0, row.z) + kFrameMargin) - (std::min(0.0, row.z) - kFrameMargin);
}

} // namespace kiro
