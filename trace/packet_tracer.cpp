#include "trace/ray_packet.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "trace/step_kernels.h"

// The lane loops below are the single-ray step of ray_tracer.cpp and step_kernels.h
// written once more over arrays: every expression is the same, term for term and in the
// same order, and every branch of the step becomes a choice between values computed for
// all lanes. IEEE arithmetic rounds each operation alike in a vector lane and in a scalar
// register (and -ffp-contract=off keeps multiply-adds apart), so each lane ends with the
// bits the step gives. What the lanes do not cover (a sphere met by the quadratic in z,
// paraboloids, aspheres, unknown codes) is handed to traceSurface itself, ray by ray.
//
// The loops are vectorised by the compiler; on x86-64 each exists twice, for the
// baseline processor and for AVX2, and the loader picks one when the program starts.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(KIRO_NO_VECTOR_CLONES)
#define KIRO_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KIRO_VECTOR_CLONES
#endif

namespace kiro {

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

// std::isfinite as a comparison the vectoriser takes: false for infinities and NaN.
inline bool finite(double v) {
    return std::fabs(v) <= kLargest;
}

inline bool alive(double x, double y, double z) {
    return !((x == 0.0) & (y == 0.0) & (z == 0.0));
}

// kernel::radiusAbove and radiusBelow for a row-wide clear radius.
struct Rim {
    double e = 0.0;
    double e2 = 0.0;
    bool banded = false; // whether the squared comparisons may decide
};

Rim rimOf(double e) {
    const double e2 = e * e;
    return {e, e2, e > 0.0 && e2 >= std::numeric_limits<double>::min()};
}

inline bool radiusAbove(Rim rim, double x, double y) {
    const double v = x * x + y * y;
    const bool byRoot = !(std::sqrt(v) <= rim.e);
    if (!rim.banded) {
        return byRoot;
    }
    return v > rim.e2 * (1 + kernel::kRimMargin)   ? true
           : v < rim.e2 * (1 - kernel::kRimMargin) ? false
                                                   : byRoot;
}

inline bool radiusBelow(Rim rim, double x, double y) {
    const double v = x * x + y * y;
    const bool byRoot = !(std::sqrt(v) >= rim.e);
    if (!rim.banded) {
        return byRoot;
    }
    return v < rim.e2 * (1 - kernel::kRimMargin)   ? true
           : v > rim.e2 * (1 + kernel::kRimMargin) ? false
                                                   : byRoot;
}

// What a mirror or a lens does to the unit direction u at the unit normal n: reflect, or
// kernel::refract with the lane's mu.
inline void turn(bool refracting, double mu, double ux, double uy, double uz, double nx, double ny,
                 double nz, double& ox, double& oy, double& oz) {
    const double c = ux * nx + uy * ny + uz * nz;
    const double twice = 2 * c;
    const double rx = ux - twice * nx;
    const double ry = uy - twice * ny;
    const double rz = uz - twice * nz;
    const double tx = ux - c * nx;
    const double ty = uy - c * ny;
    const double tz = uz - c * nz;
    const double sin2 = tx * tx + ty * ty + tz * tz;
    const double mu2 = mu * mu;
    const double inverseMu = 1 / mu;
    // std::max(0.0, under), spelt out: a NaN or a rounded negative counts as 0.
    const double under = 1 - sin2 * (inverseMu * inverseMu);
    const double cosT = std::sqrt(0.0 < under ? under : 0.0);
    const double normalPart = c > 0 ? cosT : -cosT;
    const double px = inverseMu * tx + normalPart * nx;
    const double py = inverseMu * ty + normalPart * ny;
    const double pz = inverseMu * tz + normalPart * nz;
    // Through, totally reflected, or (mu not a number) no direction.
    const bool passes = refracting & (sin2 < mu2);
    const bool reflects = (!refracting) | (sin2 >= mu2);
    ox = passes ? px : reflects ? rx : 0.0;
    oy = passes ? py : reflects ? ry : 0.0;
    oz = passes ? pz : reflects ? rz : 0.0;
}

// unitDirection for every lane; a dead lane's zero direction stays zero.
KIRO_VECTOR_CLONES void normaliseLanes(int n, double* __restrict dx, double* __restrict dy,
                                       double* __restrict dz) {
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        const double x = dx[k], y = dy[k], z = dz[k];
        const double d2 = x * x + y * y + z * z;
        const double len = std::sqrt(d2);
        const double nx = x / len;
        const double ny = y / len;
        const double nz = z / len;
        const bool keep = (std::fabs(d2 - 1.0) <= kUnitSlack) | (len == 0.0);
        dx[k] = keep ? x : nx;
        dy[k] = keep ? y : ny;
        dz[k] = keep ? z : nz;
    }
}

// A sphere row (codes 3, 11, 21) whose normal is the vector to the centre over |R|.
struct SphereRow {
    double cx, cy, cz; // the centre
    double radius, z0;
    double inverse; // 1 / |R|
    Rim rim;
    int32_t type;
};

// kernel::meetSphereByParameter and the rest of the step, for every lane. A lane the
// parameter form leaves to the quadratic in z is marked in scalar and left as it was.
KIRO_VECTOR_CLONES void sphereLanes(int n, double* __restrict px, double* __restrict py,
                                    double* __restrict pz, double* __restrict dx,
                                    double* __restrict dy, double* __restrict dz,
                                    const double* __restrict mu, const SphereRow s,
                                    int64_t* __restrict scalar) {
    const double radius = s.radius;
    const double r2 = radius * radius;
    const bool focal = s.type == SurfaceType::SphericalFocal;
    const bool refracting = s.type >= SurfaceType::FirstRefracting;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        const double x = px[k], y = py[k], z = pz[k];
        const double ux = dx[k], uy = dy[k], uz = dz[k];
        const bool live = alive(ux, uy, uz);
        const bool notUnit = !(std::fabs(ux * ux + uy * uy + uz * uz - 1.0) <= kUnitSlack);
        const double ocx = x - s.cx;
        const double ocy = y - s.cy;
        const double ocz = z - s.cz;
        const double oc2 = ocx * ocx + ocy * ocy + ocz * ocz;
        const double b = ux * ocx + uy * ocy + uz * ocz;
        const double nearDisc = b * b - (oc2 - r2);
        const bool far = (oc2 > kernel::kNearStart * kernel::kNearStart * r2) |
                         (nearDisc < r2 / (kernel::kNearStart * kernel::kNearStart));
        const bool beyondReach = oc2 > kernel::kParameterReach * kernel::kParameterReach * r2;
        const bool handOver = (uz == 0.0) | (radius == 0.0) | notUnit | (far & beyondReach);
        const double fx = ocx - b * ux;
        const double fy = ocy - b * uy;
        const double fz = ocz - b * uz;
        const double farDisc = r2 - (fx * fx + fy * fy + fz * fz);
        const double disc = far ? farDisc : nearDisc;
        const bool met = disc >= 0.0;
        const double root = std::sqrt(met ? disc : 0.0);
        const double tPlus = -b + root;
        const double tMinus = -b - root;
        const double zPlus = z + tPlus * uz;
        const double zMinus = z + tMinus * uz;
        const bool plusIsLow = zPlus < zMinus;
        const double zLow = plusIsLow ? zPlus : zMinus;
        const double zHigh = plusIsLow ? zMinus : zPlus;
        const double t = std::fabs(zLow - s.z0) <= std::fabs(zHigh - s.z0)
                             ? (plusIsLow ? tPlus : tMinus)
                             : (plusIsLow ? tMinus : tPlus);
        const double hx = x + t * ux;
        const double hy = y + t * uy;
        const double hz = z + t * uz;

        const double nx = (s.cx - hx) * s.inverse;
        const double ny = (s.cy - hy) * s.inverse;
        const double nz = (s.cz - hz) * s.inverse;
        double ox, oy, oz;
        turn(refracting, mu[k], ux, uy, uz, nx, ny, nz, ox, oy, oz);
        const bool stopped = (!met) | ((!focal) & radiusAbove(s.rim, hx, hy));
        const bool keepDirection = focal;
        const bool write = live & (!handOver);
        scalar[k] = live & handOver;
        const bool moved = write & met;
        px[k] = moved ? hx : x;
        py[k] = moved ? hy : y;
        pz[k] = moved ? hz : z;
        dx[k] = !write ? ux : stopped ? 0.0 : keepDirection ? ux : ox;
        dy[k] = !write ? uy : stopped ? 0.0 : keepDirection ? uy : oy;
        dz[k] = !write ? uz : stopped ? 0.0 : keepDirection ? uz : oz;
    }
}

// A plane row (codes 0, 1, 2, 10, 20): the row's plane and, for a mirror or a lens, its
// normal, the same for every point.
struct PlaneRow {
    double nx, ny, nz; // the plane's normal
    double qx, qy, qz; // the vertex
    double ux, uy, uz; // the unit normal reflection and refraction use
    bool normalFinite;
    Rim rim;
    int32_t type;
};

KIRO_VECTOR_CLONES void planeLanes(int n, double* __restrict px, double* __restrict py,
                                   double* __restrict pz, double* __restrict dx,
                                   double* __restrict dy, double* __restrict dz,
                                   const double* __restrict mu, const PlaneRow s) {
    const int32_t type = s.type;
    const bool obstruction = type == SurfaceType::Obstruction;
    const bool focal = type == SurfaceType::FlatFocal;
    const bool passThrough = focal || type == SurfaceType::Stop;
    const bool turning = type == SurfaceType::FlatMirror || type == SurfaceType::FlatLens;
    const bool refracting = type == SurfaceType::FlatLens;
    const bool turnable = turning && s.normalFinite;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        const double x = px[k], y = py[k], z = pz[k];
        const double ux = dx[k], uy = dy[k], uz = dz[k];
        const bool live = alive(ux, uy, uz);
        const double u = s.nx * ux + s.ny * uy + s.nz * uz;
        const bool met = u != 0.0;
        const double along = (s.nx * (s.qx - x) + s.ny * (s.qy - y) + s.nz * (s.qz - z)) / u;
        const double hx = x + along * ux;
        const double hy = y + along * uy;
        const double hz = z + along * uz;
        const bool number = finite(hx) & finite(hy) & finite(hz);
        const bool arrived = met & number;

        double ox, oy, oz;
        turn(refracting, mu[k], ux, uy, uz, s.ux, s.uy, s.uz, ox, oy, oz);
        const bool below = radiusBelow(s.rim, hx, hy);
        const bool above = radiusAbove(s.rim, hx, hy);
        const bool stopped = obstruction ? below : (!focal) & (above | (turning & (!turnable)));
        const bool keepDirection = obstruction | passThrough;
        const bool write = live & arrived;
        const bool halted = (!arrived) | stopped;
        px[k] = write ? hx : x;
        py[k] = write ? hy : y;
        pz[k] = write ? hz : z;
        dx[k] = !live ? ux : halted ? 0.0 : keepDirection ? ux : ox;
        dy[k] = !live ? uy : halted ? 0.0 : keepDirection ? uy : oy;
        dz[k] = !live ? uz : halted ? 0.0 : keepDirection ? uz : oz;
    }
}

bool isPlane(int32_t type) {
    return type == SurfaceType::Stop || type == SurfaceType::Obstruction ||
           type == SurfaceType::FlatFocal || type == SurfaceType::FlatMirror ||
           type == SurfaceType::FlatLens;
}

bool isSphere(int32_t type) {
    return type == SurfaceType::SphericalFocal || type == SurfaceType::SphericalMirror ||
           type == SurfaceType::SphericalLens;
}

// traceSurface for one lane, as the single-ray loop applies it.
void stepLane(RayPacket& p, int k, const Surface& row, double mu, double searchLength) {
    p.set(k, traceSurface(p.get(k), row, mu, searchLength));
}

} // namespace

void tracePacketRow(const SurfaceTable& table, int i, RayPacket& p, double searchLength) {
    const Surface& row = table[static_cast<size_t>(i)];
    const int n = p.count;
    normaliseLanes(n, p.dx, p.dy, p.dz);

    // The relative index of each lane's line, as relativeIndex gives it.
    double muOfLine[kIndexSlots];
    for (int s = 0; s < kIndexSlots; ++s) {
        muOfLine[s] = relativeIndex(table, i, s);
    }
    alignas(64) double mu[kPacketCapacity];
    for (int k = 0; k < n; ++k) {
        const int32_t line = p.line[k];
        mu[k] = line >= 0 && line < kIndexSlots ? muOfLine[line] : relativeIndex(table, i, line);
    }

    const int32_t type = row.type;
    if (isPlane(type)) {
        const Vec3 unit = normalize(surfaceNormal(row, Vec3{}));
        const PlaneRow plane{row.nx,
                             row.ny,
                             row.nz,
                             row.x,
                             row.y,
                             row.z,
                             unit.x,
                             unit.y,
                             unit.z,
                             isFinite(unit),
                             rimOf(row.effectiveRadius),
                             type};
        planeLanes(n, p.px, p.py, p.pz, p.dx, p.dy, p.dz, mu, plane);
        return;
    }
    const double inverse = 1 / std::fabs(row.radius);
    if (isSphere(type) && (type == SurfaceType::SphericalFocal ||
                           inverse < std::numeric_limits<double>::infinity())) {
        const SphereRow sphere{row.x, row.y,   row.z + row.radius,         row.radius,
                               row.z, inverse, rimOf(row.effectiveRadius), type};
        alignas(64) int64_t scalar[kPacketCapacity];
        sphereLanes(n, p.px, p.py, p.pz, p.dx, p.dy, p.dz, mu, sphere, scalar);
        for (int k = 0; k < n; ++k) {
            if (scalar[k] != 0) {
                stepLane(p, k, row, mu[k], searchLength);
            }
        }
        return;
    }
    for (int k = 0; k < n; ++k) {
        if (!p.dead(k)) {
            stepLane(p, k, row, mu[k], searchLength);
        }
    }
}

void tracePacket(const SurfaceTable& table, RayPacket& packet, RowFilter filter,
                 double searchLength) {
    tracePacket(table, packet, filter, searchLength, [](int, const RayPacket&) {});
}

void traceRays(const SurfaceTable& table, std::span<Ray> rays, RowFilter filter,
               double searchLength) {
    RayPacket packet;
    for (size_t first = 0; first < rays.size(); first += kPacketCapacity) {
        const size_t count = std::min(rays.size() - first, static_cast<size_t>(kPacketCapacity));
        packet.count = static_cast<int>(count);
        for (size_t k = 0; k < count; ++k) {
            packet.set(static_cast<int>(k), rays[first + k]);
        }
        tracePacket(table, packet, filter, searchLength);
        for (size_t k = 0; k < count; ++k) {
            rays[first + k] = packet.get(static_cast<int>(k));
        }
    }
}

} // namespace kiro
