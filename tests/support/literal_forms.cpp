#include "tests/support/literal_forms.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "trace/asphere_search.h"
#include "trace/ray_tracer.h"

namespace kiro::literal {

Vec3 refract(Vec3 d, Vec3 n, double mu) {
    const double c = std::clamp(dot(d, n), -1.0, 1.0);
    const double theta = std::acos(c);
    if (c > 0) {
        const double s = std::sin(theta) / mu;
        if (std::fabs(s) >= 1) {
            return reflect(d, n);
        }
        const double thetaT = std::asin(s);
        const Vec3 t = normalize(sub(d, scale(n, c)));
        return add(scale(t, std::sin(thetaT)), scale(n, std::cos(thetaT)));
    }
    const double s = std::sin(std::numbers::pi - theta) / mu;
    if (std::fabs(s) >= 1) {
        return reflect(d, n);
    }
    const Vec3 t = normalize(sub(d, scale(n, c)));
    return sub(scale(t, s), scale(n, std::cos(std::asin(s))));
}

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
        step = asphere::bisect(s, ray, search);
    }
    if (step != asphere::Step::Met) {
        return {false, p};
    }
    return {true, add(p, scale(d, search.t))};
}

namespace {

SurfaceMeet nearer(const QuadricMeet& meet, double z0, const Ray& ray) {
    if (meet.count == 0) {
        return {false, ray.position};
    }
    if (meet.count == 1) {
        return {true, meet.first};
    }
    const bool second = std::fabs(meet.second.z - z0) <= std::fabs(meet.first.z - z0);
    return {true, second ? meet.second : meet.first};
}

} // namespace

SurfaceMeet meetSurface(const Ray& ray, const Surface& row, double searchLength) {
    switch (row.type) {
    case SurfaceType::SphericalFocal:
    case SurfaceType::SphericalMirror:
    case SurfaceType::SphericalLens:
        return nearer(meetSphere(ray, {row.x, row.y, row.z + row.radius}, std::fabs(row.radius)),
                      row.z, ray);
    case SurfaceType::ParaboloidMirror:
        return nearer(meetParaboloid(ray, {row.x, row.y, row.z}, row.radius), row.z, ray);
    case SurfaceType::AsphericMirror:
    case SurfaceType::AsphericLens:
        return literal::meetAsphere(ray, row.z, row.radius, row.a2, row.a3, row.a4, searchLength);
    default:
        return kiro::meetSurface(ray, row, searchLength);
    }
}

Ray traceSurface(const Ray& ray, const Surface& row, double mu, double searchLength) {
    const int32_t type = row.type;
    const bool known = (type >= SurfaceType::Stop && type <= SurfaceType::SphericalFocal) ||
                       (type >= SurfaceType::FlatMirror && type <= SurfaceType::AsphericMirror) ||
                       (type >= SurfaceType::FlatLens && type <= SurfaceType::AsphericLens);
    if (isDead(ray) || !known) {
        return ray;
    }
    const SurfaceMeet meet = literal::meetSurface(ray, row, searchLength);
    if (!meet.met) {
        return {ray.line, ray.position, {}};
    }
    const Vec3 p = meet.point;
    const double r = std::sqrt(p.x * p.x + p.y * p.y);
    Ray out{ray.line, p, ray.direction};
    switch (type) {
    case SurfaceType::Stop:
        if (r > row.effectiveRadius) {
            out.direction = {};
        }
        return out;
    case SurfaceType::Obstruction:
        if (r < row.effectiveRadius) {
            out.direction = {};
        }
        return out;
    case SurfaceType::FlatFocal:
    case SurfaceType::SphericalFocal:
        return out;
    default:
        break;
    }
    if (r > row.effectiveRadius) {
        out.direction = {};
        return out;
    }
    const Vec3 n = normalize(surfaceNormal(row, p));
    out.direction = type < SurfaceType::FlatLens ? reflect(ray.direction, n)
                                                 : literal::refract(ray.direction, n, mu);
    return out;
}

double focalLength(double h, Vec3 a, Vec3 b) {
    return h / std::sin(0.5 * std::acos(cosAngle(a, b)));
}

} // namespace kiro::literal
