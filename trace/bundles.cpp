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

// h / sin(u'), u' half the angle between the two final rays. For unit directions
// sin(u') = |a - b| / 2 exactly, which keeps its digits for nearly parallel rays, where
// the cosine of the angle is rounded near 1 and half the digits of the sine are lost.
double focalLength(double h, Vec3 a, Vec3 b) {
    return 2 * h / length(sub(unitDirection(a), unitDirection(b)));
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
                      ZonalMode mode) {
    ZonalFocus result;
    if (table[0].type < 0) {
        return result;
    }
    const RowFilter filter =
        mode == ZonalMode::WithStops ? RowFilter::NoFocal : RowFilter::OpticalOnly;
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
    // The sums reach m after n pitches, give or take the rounding: n + 1 values at most.
    double p = 0.0;
    for (int i = 0; i <= n && p < m; ++i, p += step) {
        double q = 0.0;
        for (int j = 0; j <= n && q < m; ++j, q += step) {
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

// The projected lines meet at A's parameter t = ((pB - pA) x dB) / (dA x dB), 2-D cross
// products; the point is A's point at t. Taking t from the difference of the two points
// and the point as pA + t dA equals the textbook forms, which multiply out the points'
// coordinates and divide (X - xA) by dA again, and keeps the digits those lose when the
// points lie far from the origin or dA is small.
Vec3 crossPoint(const Ray& a, const Ray& b) {
    if (isDead(a) || isDead(b)) {
        return {};
    }
    const Vec3 pa = a.position, da = a.direction;
    const Vec3 pb = b.position, db = b.direction;
    const Vec3 gap = sub(pb, pa);
    if (da.x != 0.0) {
        const double den = da.x * db.y - da.y * db.x;
        const double t = den == 0.0 ? gap.x / 2 / da.x : (gap.x * db.y - gap.y * db.x) / den;
        return {den == 0.0 ? (pa.x + pb.x) / 2 : pa.x + t * da.x, pa.y + t * da.y, pa.z + t * da.z};
    }
    const double x = (pa.x + pb.x) / 2;
    if (da.y == 0.0) {
        return {x, (pa.y + pb.y) / 2, (pa.z + pb.z) / 2};
    }
    const double den = da.y * db.z - da.z * db.y;
    const double t = den == 0.0 ? gap.y / 2 / da.y : (gap.y * db.z - gap.z * db.y) / den;
    return {x, den == 0.0 ? (pa.y + pb.y) / 2 : pa.y + t * da.y, pa.z + t * da.z};
}

} // namespace kiro
