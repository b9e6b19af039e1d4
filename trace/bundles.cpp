#include "trace/bundles.h"

#include <algorithm>
#include <cmath>

#include "trace/ray_tracer.h"

namespace kiro {

namespace {

constexpr Vec3 kAlongAxis{0.0, 0.0, -1.0};
constexpr int kMinGridPoints = 1;
constexpr int kMaxGridPoints = 100;

// The row loop for a few rays at once: each ray is carried exactly as traceSystem
// carries it, but taking all through a row before the next lets the processor work on
// the independent rays side by side.
template <int N>
void traceTogether(const SurfaceTable& table, Ray (&rays)[N], RowFilter filter,
                   double searchLength) {
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        const Surface& row = table[i];
        if (!rowPassesFilter(row, filter)) {
            continue;
        }
        for (Ray& ray : rays) {
            ray.direction = unitDirection(ray.direction);
            ray = traceSurface(ray, row, relativeIndex(table, i, ray.line), searchLength);
        }
    }
}

void tracePair(const SurfaceTable& table, Ray& a, Ray& b, RowFilter filter, double searchLength) {
    Ray rays[2] = {a, b};
    traceTogether(table, rays, filter, searchLength);
    a = rays[0];
    b = rays[1];
}

// h / sin(u'), u' half the angle between the two final rays: sin(acos(c) / 2) is
// sqrt((1 - c) / 2), with 1 - c exact for c near 1.
double focalLength(double h, Vec3 a, Vec3 b) {
    const double c = cosAngle(a, b);
    return h / std::sqrt((1 - c) / 2);
}

Ray zonalRay(const SurfaceTable& table, const Settings& settings, int line, double xt) {
    const double z0 = table[0].z;
    if (settings.sourceMode == 1) {
        const Vec3 source{settings.sourceX, settings.sourceY, settings.sourceZ};
        return {line, source, {xt - source.x, 0.0, z0 - source.z}};
    }
    return {line, {xt, 0.0, z0}, kAlongAxis};
}

} // namespace

ZonalFocus zonalFocus(const SurfaceTable& table, const Settings& settings, int line, double h,
                      int mode) {
    ZonalFocus result;
    if (table[0].type < 0) {
        return result;
    }
    // Mode 0 lets stops and obstructions act; mode 1 takes mirrors and lenses only.
    const RowFilter filter = mode == 0 ? RowFilter::NoFocal : RowFilter::OpticalOnly;
    Ray a = zonalRay(table, settings, line, -h);
    Ray b = zonalRay(table, settings, line, h);
    tracePair(table, a, b, filter, asphereSearchLength(table));
    if (isDead(a) || isDead(b)) {
        return result;
    }
    result.point = crossPoint(a, b);
    result.f = focalLength(h, a.direction, b.direction);
    return result;
}

double sineFocusDeviation(const SurfaceTable& table, double fRef, int line, double h) {
    if (table[0].type < 0) {
        return 0.0;
    }
    const double z0 = table[0].z;
    Ray a{line, {-h, 0.0, z0}, kAlongAxis};
    Ray b{WavelengthLine::d, {h, 0.0, z0}, kAlongAxis};
    tracePair(table, a, b, RowFilter::OpticalOnly, asphereSearchLength(table));
    if (isDead(a) || isDead(b)) {
        return kSineDeviationFailed;
    }
    return focalLength(h, a.direction, b.direction) - fRef;
}

// A square grid of pitch m / N over the quarter pupil, each point mirrored into the four
// quadrants (points on the axes count four times in both counts). The grid loops add the
// pitch up while below m, so a sum falling just short of m takes one more row and column.
bool isMirrorSymmetricInY(const SurfaceTable& table) {
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (table[i].y != 0.0 || table[i].ny != 0.0) {
            return false;
        }
    }
    return true;
}

double lightAmount(const SurfaceTable& table, const Settings& settings, double fieldAngle, double m,
                   int line, PupilSymmetry symmetry) {
    if (!(m > 0.0) || !std::isfinite(m) || !std::isfinite(fieldAngle)) {
        return 0.0;
    }
    const int n = std::clamp(settings.spotGridPoints, kMinGridPoints, kMaxGridPoints);
    const double step = m / n;
    if (!(step > 0.0)) {
        return 0.0;
    }
    const double z0 = table[0].z;
    const double sinA = std::sin(fieldAngle);
    const double cosA = std::cos(fieldAngle);
    const Vec3 direction{sinA, 0.0, -cosA};
    const double searchLength = asphereSearchLength(table);
    // The beam is tilted in x only, so in a design lying in the x-z plane the rays at q
    // and -q are mirror images and share their fate: trace the upper half, count it twice.
    const bool mirrored = symmetry == PupilSymmetry::Use && isMirrorSymmetricInY(table);
    long reference = 0;
    long traced = 0;
    for (double p = 0.0; p < m; p += step) {
        for (double q = 0.0; q < m; q += step) {
            if (std::sqrt(p * p + q * q) <= m) {
                reference += 4;
            }
            const double xPlus = p / cosA - m * sinA;
            const double xMinus = -p / cosA - m * sinA;
            const double zStart = z0 + m * cosA;
            if (mirrored) {
                Ray rays[2] = {{line, {xPlus, q, zStart}, direction},
                               {line, {xMinus, q, zStart}, direction}};
                traceTogether(table, rays, RowFilter::All, searchLength);
                for (const Ray& ray : rays) {
                    traced += isDead(ray) ? 0 : 2;
                }
                continue;
            }
            Ray rays[4] = {{line, {xPlus, q, zStart}, direction},
                           {line, {xMinus, q, zStart}, direction},
                           {line, {xPlus, -q, zStart}, direction},
                           {line, {xMinus, -q, zStart}, direction}};
            traceTogether(table, rays, RowFilter::All, searchLength);
            for (const Ray& ray : rays) {
                traced += isDead(ray) ? 0 : 1;
            }
        }
    }
    if (reference == 0) {
        return 0.0;
    }
    return std::min(static_cast<double>(traced) / static_cast<double>(reference), 1.0);
}

double lightAmount(const SurfaceTable& table, const Settings& settings, double fieldAngle, double m,
                   int line) {
    return lightAmount(table, settings, fieldAngle, m, line, PupilSymmetry::Use);
}

Vec3 crossPoint(const Ray& a, const Ray& b) {
    if (isDead(a) || isDead(b)) {
        return {};
    }
    const Vec3 pa = a.position, da = a.direction;
    const Vec3 pb = b.position, db = b.direction;
    if (da.x != 0.0) {
        const double den = da.y * db.x - da.x * db.y;
        const double x =
            den == 0.0
                ? (pa.x + pb.x) / 2
                : (db.x * (da.y * pa.x - da.x * pa.y) - da.x * (db.y * pb.x - db.x * pb.y)) / den;
        return {x, pa.y + da.y * (x - pa.x) / da.x, pa.z + da.z * (x - pa.x) / da.x};
    }
    const double x = (pa.x + pb.x) / 2;
    if (da.y == 0.0) {
        return {x, (pa.y + pb.y) / 2, (pa.z + pb.z) / 2};
    }
    const double den = da.z * db.y - da.y * db.z;
    const double y =
        den == 0.0
            ? (pa.y + pb.y) / 2
            : (db.y * (da.z * pa.y - da.y * pa.z) - da.y * (db.z * pb.y - db.y * pb.z)) / den;
    return {x, y, pa.z + da.z * (y - pa.y) / da.y};
}

} // namespace kiro
