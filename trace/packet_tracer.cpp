#include "trace/ray_packet.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "model/surface_kind.h"
#include "trace/asphere_search.h"
#include "trace/lane_choice.h"
#include "trace/step_kernels.h"

// The lane loops below are the single-ray step of ray_tracer.cpp and step_kernels.h
// written once more over arrays: every expression is the same, term for term and in the
// same order, and every branch of the step becomes a choice between values computed for
// all lanes. IEEE arithmetic rounds each operation alike in a vector lane and in a scalar
// register (and -ffp-contract=off keeps multiply-adds apart), so each lane ends with the
// bits the step gives. An asphere's meeting point is searched in lock step, each lane
// taking its own search's path (the path decides its last bits). What the lanes do not
// cover (a sphere met by the quadratic in z, a sphere or paraboloid met across the axis,
// a point within the rounding of a rim, unknown codes, packets of a few rays) is handed to
// traceSurface itself.
//
// The loops are vectorised by the compiler; on x86-64 each exists three times, for the
// baseline processor, for AVX2 and for AVX-512 (x86-64-v4: eight lanes a vector and
// mask registers for the choices), and the loader picks one when the program starts.
// None of the three contracts or reorders an operation, so all give the same bits.
// Under the thread sanitizer the loader's choice would run before the sanitizer is up,
// so there the baseline loop alone is built.
#if defined(__SANITIZE_THREAD__)
#define KIRO_NO_VECTOR_CLONES
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KIRO_NO_VECTOR_CLONES
#endif
#endif
// The tests build the loops once more for one instruction set alone (KIRO_VECTOR_TARGET),
// so that every clone is held to the single-ray step, not only the one this machine picks.
#if defined(KIRO_VECTOR_TARGET)
#define KIRO_VECTOR_CLONES __attribute__((target(KIRO_VECTOR_TARGET)))
#elif defined(__x86_64__) && defined(__GNUC__) && !defined(KIRO_NO_VECTOR_CLONES)
#define KIRO_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define KIRO_VECTOR_CLONES
#endif

// The lane code is inlined into each loop so that the loop, not a call, is vectorised.
#if defined(__GNUC__)
#define KIRO_LANE inline __attribute__((always_inline))
#else
#define KIRO_LANE inline
#endif

namespace kiro {

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Packets of fewer rays than this are carried by the single-ray step, lane by lane.
constexpr int kVectorLanes = 4;

// std::isfinite as a comparison the vectoriser takes: false for infinities and NaN.
KIRO_LANE bool finite(double v) {
    return std::fabs(v) <= kLargest;
}

KIRO_LANE bool alive(double x, double y, double z) {
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

// The lane loops choose between values already computed (choose, lane_choice.h) and
// combine conditions with & and |, so that the vectoriser sees no branch.

// kernel::radiusAbove and radiusBelow decide by x^2 + y^2 against e^2 away from the rim
// (a banded rim). outside and inside tell those cases; a point that is neither lies
// within the rounding of the rim, where only the root decides: such a lane is handed to
// the single-ray step, which takes it.
KIRO_LANE void rimSides(Rim rim, double x, double y, bool& outside, bool& inside) {
    const double v = x * x + y * y;
    outside = v > rim.e2 * (1 + kernel::kRimMargin);
    inside = v < rim.e2 * (1 - kernel::kRimMargin);
}

// What a mirror or a lens does to the unit direction u at the unit normal n: reflect, or
// kernel::refract with the lane's mu.
KIRO_LANE void turn(bool refracting, double mu, double inverseMu, double ux, double uy, double uz,
                    double nx, double ny, double nz, double& ox, double& oy, double& oz) {
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
    // std::max(0.0, under), spelt out: a NaN or a rounded negative counts as 0.
    const double under = 1 - sin2 * (inverseMu * inverseMu);
    const double cosT = std::sqrt(choose(0.0 < under, under, 0.0));
    const double normalPart = choose(c > 0, cosT, -cosT);
    const double px = inverseMu * tx + normalPart * nx;
    const double py = inverseMu * ty + normalPart * ny;
    const double pz = inverseMu * tz + normalPart * nz;
    // Through, totally reflected, or (mu not a number) no direction.
    const bool passes = refracting & (sin2 < mu2);
    const bool reflects = (!refracting) | (sin2 >= mu2);
    ox = choose(passes, px, choose(reflects, rx, 0.0));
    oy = choose(passes, py, choose(reflects, ry, 0.0));
    oz = choose(passes, pz, choose(reflects, rz, 0.0));
}

// What a row does to a lane's direction, known per row so that a lane loop computes only
// the turn its row makes.
enum class Turning { Keeps, Reflects, Refracts };

// turn for a row of that kind; a row that keeps the direction leaves it as it was.
template <Turning kTurning>
KIRO_LANE void turnAs(double mu, double inverseMu, double ux, double uy, double uz, double nx,
                      double ny, double nz, double& ox, double& oy, double& oz) {
    if constexpr (kTurning == Turning::Keeps) {
        ox = ux;
        oy = uy;
        oz = uz;
    } else if constexpr (kTurning == Turning::Reflects) {
        // turn's reflection, which is what it gives a mirror.
        const double twice = 2 * (ux * nx + uy * ny + uz * nz);
        ox = ux - twice * nx;
        oy = uy - twice * ny;
        oz = uz - twice * nz;
    } else {
        turn(true, mu, inverseMu, ux, uy, uz, nx, ny, nz, ox, oy, oz);
    }
}

Turning turningOf(int32_t type) {
    if (isMirror(type)) {
        return Turning::Reflects;
    }
    return isLens(type) ? Turning::Refracts : Turning::Keeps;
}

// normalize for a lane's normal (a zero vector stays zero); returns whether every
// component of the result is a number.
KIRO_LANE bool normaliseNormal(double rawX, double rawY, double rawZ, double& nx, double& ny,
                               double& nz) {
    const double length = std::sqrt(rawX * rawX + rawY * rawY + rawZ * rawZ);
    const bool zeroLength = length == 0.0;
    nx = choose(zeroLength, rawX, rawX / length);
    ny = choose(zeroLength, rawY, rawY / length);
    nz = choose(zeroLength, rawZ, rawZ / length);
    const bool xNumber = finite(nx);
    const bool yNumber = finite(ny);
    const bool zNumber = finite(nz);
    return xNumber & yNumber & zNumber;
}

// unitDirection for lane k; a dead lane's zero direction stays zero.
KIRO_LANE void normaliseLane(RayPacket& p, int k) {
    const double x = p.dx[k], y = p.dy[k], z = p.dz[k];
    const double d2 = x * x + y * y + z * z;
    const double len = std::sqrt(d2);
    const double nx = x / len;
    const double ny = y / len;
    const double nz = z / len;
    const bool keep = (std::fabs(d2 - 1.0) <= kUnitSlack) | (len == 0.0);
    p.dx[k] = choose(keep, x, nx);
    p.dy[k] = choose(keep, y, ny);
    p.dz[k] = choose(keep, z, nz);
}

KIRO_VECTOR_CLONES void normaliseVector(RayPacket& p) {
    const int n = p.count;
    // Directions leaving a mirror or a lens are unit vectors already, and a dead lane's
    // zero (d2 = 0 exactly when the length is 0) stays: then nothing to do.
    int64_t any = 0;
#pragma omp simd reduction(| : any)
    for (int k = 0; k < n; ++k) {
        const double d2 = p.dx[k] * p.dx[k] + p.dy[k] * p.dy[k] + p.dz[k] * p.dz[k];
        any |= static_cast<int64_t>((!(std::fabs(d2 - 1.0) <= kUnitSlack)) & (d2 != 0.0));
    }
    if (any == 0) {
        return;
    }
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        normaliseLane(p, k);
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
// Returns whether the lane is left for the single-ray step. in and out may be one packet.
// radius, cz (the centre's z) and inverse (1 / |R|) are the lane's own.
template <Turning kTurning>
KIRO_LANE bool sphereLane(const RayPacket& in, RayPacket& out, double mu, double inverseMu,
                          const SphereRow& s, int k, double radius, double cz, double inverse,
                          bool leave) {
    const double r2 = radius * radius;
    const bool focal = kTurning == Turning::Keeps;
    const double x = in.px[k], y = in.py[k], z = in.pz[k];
    const double ux = in.dx[k], uy = in.dy[k], uz = in.dz[k];
    const bool live = alive(ux, uy, uz);
    const bool notUnit = !(std::fabs(ux * ux + uy * uy + uz * uz - 1.0) <= kUnitSlack);
    const double ocx = x - s.cx;
    const double ocy = y - s.cy;
    const double ocz = z - cz;
    const double oc2 = ocx * ocx + ocy * ocy + ocz * ocz;
    const double b = ux * ocx + uy * ocy + uz * ocz;
    const double nearDisc = b * b - (oc2 - r2);
    const bool far = (oc2 > kernel::kNearStart * kernel::kNearStart * r2) |
                     (nearDisc < r2 / (kernel::kNearStart * kernel::kNearStart));
    const bool beyondReach = oc2 > kernel::kParameterReach * kernel::kParameterReach * r2;
    const bool parameterFails = (uz == 0.0) | (radius == 0.0) | notUnit | (far & beyondReach);
    const double fx = ocx - b * ux;
    const double fy = ocy - b * uy;
    const double fz = ocz - b * uz;
    const double farDisc = r2 - (fx * fx + fy * fy + fz * fz);
    const double disc = choose(far, farDisc, nearDisc);
    const bool met = disc >= 0.0;
    const double root = std::sqrt(choose(met, disc, 0.0));
    const double tPlus = -b + root;
    const double tMinus = -b - root;
    const double zPlus = z + tPlus * uz;
    const double zMinus = z + tMinus * uz;
    const bool plusIsLow = zPlus < zMinus;
    const double zLow = choose(plusIsLow, zPlus, zMinus);
    const double zHigh = choose(plusIsLow, zMinus, zPlus);
    const bool lowNearer = std::fabs(zLow - s.z0) <= std::fabs(zHigh - s.z0);
    const double t =
        choose(lowNearer, choose(plusIsLow, tPlus, tMinus), choose(plusIsLow, tMinus, tPlus));
    const double hx = x + t * ux;
    const double hy = y + t * uy;
    const double hz = z + t * uz;

    const double nx = (s.cx - hx) * inverse;
    const double ny = (s.cy - hy) * inverse;
    const double nz = (cz - hz) * inverse;
    double ox, oy, oz;
    turnAs<kTurning>(mu, inverseMu, ux, uy, uz, nx, ny, nz, ox, oy, oz);
    bool outside, inside;
    rimSides(s.rim, hx, hy, outside, inside);
    const bool onRim = (!focal) & met & (!outside) & (!inside);
    const bool handOver = parameterFails | leave | onRim;
    const bool stopped = (!met) | ((!focal) & outside);
    const bool write = live & (!handOver);
    const bool moved = write & met;
    out.px[k] = choose(moved, hx, x);
    out.py[k] = choose(moved, hy, y);
    out.pz[k] = choose(moved, hz, z);
    out.dx[k] = choose(write, choose(stopped, 0.0, ox), ux);
    out.dy[k] = choose(write, choose(stopped, 0.0, oy), uy);
    out.dz[k] = choose(write, choose(stopped, 0.0, oz), uz);
    return live & handOver;
}

template <Turning kTurning>
KIRO_LANE void sphereLanes(const RayPacket& in, RayPacket& out, const double* __restrict mu,
                           const double* __restrict inverseMu, const SphereRow& s,
                           int64_t* __restrict scalar) {
    const int n = in.count;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        scalar[k] = sphereLane<kTurning>(in, out, mu[k], inverseMu[k], s, k, s.radius, s.cz,
                                         s.inverse, false);
    }
}

KIRO_VECTOR_CLONES void sphereVector(const RayPacket& in, RayPacket& out,
                                     const double* __restrict mu,
                                     const double* __restrict inverseMu, const SphereRow s,
                                     int64_t* __restrict scalar) {
    switch (turningOf(s.type)) {
    case Turning::Keeps:
        sphereLanes<Turning::Keeps>(in, out, mu, inverseMu, s, scalar);
        break;
    case Turning::Reflects:
        sphereLanes<Turning::Reflects>(in, out, mu, inverseMu, s, scalar);
        break;
    case Turning::Refracts:
        sphereLanes<Turning::Refracts>(in, out, mu, inverseMu, s, scalar);
        break;
    }
}

// The same row in tables that differ in their radii only: lane k's radius, centre z and
// 1 / |R| from the arrays. A lane whose 1 / |R| is no finite number is left to the step.
template <Turning kTurning>
KIRO_LANE void sphereLanesAcross(const RayPacket& in, RayPacket& out, const double* __restrict mu,
                                 const double* __restrict inverseMu, const SphereRow& s,
                                 const double* __restrict radius, int64_t* __restrict scalar) {
    const int n = in.count;
    const bool focal = kTurning == Turning::Keeps;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        // As the single-ray step forms them from the row.
        const double cz = s.z0 + radius[k];
        const double inverse = 1 / std::fabs(radius[k]);
        const bool normalless = (!focal) & (!(inverse < kInfinity));
        scalar[k] = sphereLane<kTurning>(in, out, mu[k], inverseMu[k], s, k, radius[k], cz, inverse,
                                         normalless);
    }
}

KIRO_VECTOR_CLONES void sphereVectorAcross(const RayPacket& in, RayPacket& out,
                                           const double* __restrict mu,
                                           const double* __restrict inverseMu, const SphereRow s,
                                           const double* __restrict radius,
                                           int64_t* __restrict scalar) {
    switch (turningOf(s.type)) {
    case Turning::Keeps:
        sphereLanesAcross<Turning::Keeps>(in, out, mu, inverseMu, s, radius, scalar);
        break;
    case Turning::Reflects:
        sphereLanesAcross<Turning::Reflects>(in, out, mu, inverseMu, s, radius, scalar);
        break;
    case Turning::Refracts:
        sphereLanesAcross<Turning::Refracts>(in, out, mu, inverseMu, s, radius, scalar);
        break;
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

// Returns whether the lane is left for the single-ray step.
template <Turning kTurning>
KIRO_LANE bool planeLane(const RayPacket& in, RayPacket& out, double mu, double inverseMu,
                         const PlaneRow& s, int k) {
    const int32_t type = s.type;
    const bool obstruction = isObstruction(type);
    const bool focal = isFocal(type);
    const bool turning = kTurning != Turning::Keeps;
    const bool turnable = turning && s.normalFinite;
    const double x = in.px[k], y = in.py[k], z = in.pz[k];
    const double ux = in.dx[k], uy = in.dy[k], uz = in.dz[k];
    const bool live = alive(ux, uy, uz);
    const double u = s.nx * ux + s.ny * uy + s.nz * uz;
    const bool met = u != 0.0;
    const double along = (s.nx * (s.qx - x) + s.ny * (s.qy - y) + s.nz * (s.qz - z)) / u;
    const double hx = x + along * ux;
    const double hy = y + along * uy;
    const double hz = z + along * uz;
    const bool xNumber = finite(hx);
    const bool yNumber = finite(hy);
    const bool zNumber = finite(hz);
    const bool number = xNumber & yNumber & zNumber;
    const bool arrived = met & number;

    double ox, oy, oz;
    turnAs<kTurning>(mu, inverseMu, ux, uy, uz, s.ux, s.uy, s.uz, ox, oy, oz);
    bool outside, inside;
    rimSides(s.rim, hx, hy, outside, inside);
    const bool onRim = (!focal) & arrived & (!outside) & (!inside);
    const bool stopped =
        (obstruction & inside) | ((!obstruction) & (!focal) & (outside | (turning & (!turnable))));
    const bool taken = live & (!onRim);
    const bool write = taken & arrived;
    const bool halted = (!arrived) | stopped;
    out.px[k] = choose(write, hx, x);
    out.py[k] = choose(write, hy, y);
    out.pz[k] = choose(write, hz, z);
    out.dx[k] = choose(taken, choose(halted, 0.0, ox), ux);
    out.dy[k] = choose(taken, choose(halted, 0.0, oy), uy);
    out.dz[k] = choose(taken, choose(halted, 0.0, oz), uz);
    return live & onRim;
}

template <Turning kTurning>
KIRO_LANE void planeLanes(const RayPacket& in, RayPacket& out, const double* __restrict mu,
                          const double* __restrict inverseMu, const PlaneRow& s,
                          int64_t* __restrict scalar) {
    const int n = in.count;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        scalar[k] = planeLane<kTurning>(in, out, mu[k], inverseMu[k], s, k);
    }
}

KIRO_VECTOR_CLONES void planeVector(const RayPacket& in, RayPacket& out,
                                    const double* __restrict mu, const double* __restrict inverseMu,
                                    const PlaneRow s, int64_t* __restrict scalar) {
    switch (turningOf(s.type)) {
    case Turning::Keeps:
        planeLanes<Turning::Keeps>(in, out, mu, inverseMu, s, scalar);
        break;
    case Turning::Reflects:
        planeLanes<Turning::Reflects>(in, out, mu, inverseMu, s, scalar);
        break;
    case Turning::Refracts:
        planeLanes<Turning::Refracts>(in, out, mu, inverseMu, s, scalar);
        break;
    }
}

// A paraboloid mirror row (code 12) of radius other than 0: the vertex and clear radius.
struct ParaboloidRow {
    double x, y, z;
    Rim rim;
};

// meetParaboloid's quadratic in z (nearerPoint's choice of root, pointAt) and the rest of
// the step, for every lane whose dz is not 0; a lane with dz = 0 (solved in x) is left to
// the single-ray step. radius is the lane's own. Returns whether the lane is left.
KIRO_LANE bool paraboloidLane(const RayPacket& in, RayPacket& out, const ParaboloidRow& s, int k,
                              double radius) {
    const double x = in.px[k], y = in.py[k], z = in.pz[k];
    const double ux = in.dx[k], uy = in.dy[k], uz = in.dz[k];
    const bool live = alive(ux, uy, uz);
    const double g = uz * (x - s.x) - ux * z;
    const double h = uz * (y - s.y) - uy * z;
    const double dz2 = uz * uz;
    const double a = ux * ux + uy * uy;
    const double b = 2 * (ux * g + uy * h - radius * dz2);
    const double e = g * g + h * h + 2 * s.z * radius * dz2;
    // Parallel to the axis (a = 0): the one root -e / b, when b is not 0.
    const bool parallel = a == 0.0;
    const double sag = -e / b;
    // Otherwise solveQuadratic: the root whose terms do not cancel as written, the other
    // as 2e over it.
    const double disc = b * b - 4 * a * e;
    const bool real = disc >= 0.0;
    const double root = std::sqrt(choose(real, disc, 0.0));
    const bool bNegative = b < 0.0;
    const double far = choose(bNegative, root - b, -root - b);
    const bool equalRoots = far == 0.0;
    const double near = 2 * e / far;
    const double farRoot = far / (2 * a);
    const double doubleRoot = -b / (2 * a);
    const double first = choose(equalRoots, doubleRoot, choose(bNegative, farRoot, near));
    const double second = choose(equalRoots, doubleRoot, choose(bNegative, near, farRoot));
    const bool secondNearer = std::fabs(second - s.z) <= std::fabs(first - s.z);
    const double value = choose(parallel, sag, choose(secondNearer, second, first));
    const bool met = (parallel & (b != 0.0)) | ((!parallel) & real);
    const double hx = x + (value - z) * ux / uz;
    const double hy = y + (value - z) * uy / uz;
    const double hz = value;
    const bool xNumber = finite(hx);
    const bool yNumber = finite(hy);
    const bool zNumber = finite(hz);
    const bool arrived = met & xNumber & yNumber & zNumber;
    bool outside, inside;
    rimSides(s.rim, hx, hy, outside, inside);
    const bool onRim = arrived & (!outside) & (!inside);

    // surfaceNormal, normalised.
    const double dx = s.x - hx;
    const double dy = s.y - hy;
    const double rawZ = s.z + radius + (dx * dx + dy * dy) * 0.5 / radius - hz;
    double nx, ny, nz;
    const bool normalFinite = normaliseNormal(dx, dy, rawZ, nx, ny, nz);
    double ox, oy, oz;
    turn(false, 1.0, 1.0, ux, uy, uz, nx, ny, nz, ox, oy, oz);

    const bool handOver = (uz == 0.0) | onRim;
    const bool taken = live & (!handOver);
    const bool moved = taken & arrived;
    const bool stopped = (!arrived) | outside | (!normalFinite);
    out.px[k] = choose(moved, hx, x);
    out.py[k] = choose(moved, hy, y);
    out.pz[k] = choose(moved, hz, z);
    out.dx[k] = choose(taken, choose(stopped, 0.0, ox), ux);
    out.dy[k] = choose(taken, choose(stopped, 0.0, oy), uy);
    out.dz[k] = choose(taken, choose(stopped, 0.0, oz), uz);
    return live & handOver;
}

KIRO_VECTOR_CLONES void paraboloidVector(const RayPacket& in, RayPacket& out, const ParaboloidRow s,
                                         const double* __restrict radius,
                                         int64_t* __restrict scalar) {
    const int n = in.count;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        scalar[k] = paraboloidLane(in, out, s, k, radius[k]);
    }
}

// An even-asphere row (codes 13, 22) of one table, after each lane's meeting point has
// been searched (the search's path decides its last bits): the rim, the normal
// (surfaceNormal, normalised) and the turn, for every lane.
struct AsphereRow {
    double x, y, z;
    double a1, a2, a3, a4;
    bool flat; // every coefficient 0: the normal is (0, 0, 1)
    Rim rim;
    bool refracting;
};

KIRO_LANE bool asphereLane(const RayPacket& in, RayPacket& out, double mu, double inverseMu,
                           const AsphereRow& s, const double* __restrict hitX,
                           const double* __restrict hitY, const double* __restrict hitZ,
                           const int64_t* __restrict met, int k) {
    const double ux = in.dx[k], uy = in.dy[k], uz = in.dz[k];
    const bool live = alive(ux, uy, uz);
    const double hx = hitX[k], hy = hitY[k], hz = hitZ[k];
    const bool xNumber = finite(hx);
    const bool yNumber = finite(hy);
    const bool zNumber = finite(hz);
    const bool arrived = (met[k] != 0) & xNumber & yNumber & zNumber;
    bool outside, inside;
    rimSides(s.rim, hx, hy, outside, inside);
    const bool onRim = arrived & (!outside) & (!inside);

    const double dx = s.x - hx;
    const double dy = s.y - hy;
    const double l = dx * dx + dy * dy;
    const double l2 = l * l;
    const double l3 = l2 * l;
    const double l4 = l2 * l2;
    const double q = 2 * s.a1 + 4 * s.a2 * l + 6 * s.a3 * l2 + 8 * s.a4 * l3;
    const double inverseQ = 1 / q;
    const bool level = s.flat | (q == 0.0) | !finite(inverseQ);
    const double rawX = choose(level, 0.0, dx);
    const double rawY = choose(level, 0.0, dy);
    const double rawZ =
        choose(level, 1.0, inverseQ + s.z + s.a1 * l + s.a2 * l2 + s.a3 * l3 + s.a4 * l4 - hz);
    double nx, ny, nz;
    const bool normalFinite = normaliseNormal(rawX, rawY, rawZ, nx, ny, nz);
    double ox, oy, oz;
    turn(s.refracting, mu, inverseMu, ux, uy, uz, nx, ny, nz, ox, oy, oz);

    const bool taken = live & (!onRim);
    const bool moved = taken & arrived;
    const bool stopped = (!arrived) | outside | (!normalFinite);
    out.px[k] = choose(moved, hx, in.px[k]);
    out.py[k] = choose(moved, hy, in.py[k]);
    out.pz[k] = choose(moved, hz, in.pz[k]);
    out.dx[k] = choose(taken, choose(stopped, 0.0, ox), ux);
    out.dy[k] = choose(taken, choose(stopped, 0.0, oy), uy);
    out.dz[k] = choose(taken, choose(stopped, 0.0, oz), uz);
    return live & onRim;
}

KIRO_VECTOR_CLONES void asphereVector(const RayPacket& in, RayPacket& out,
                                      const double* __restrict mu,
                                      const double* __restrict inverseMu, const AsphereRow s,
                                      const double* __restrict hitX, const double* __restrict hitY,
                                      const double* __restrict hitZ, const int64_t* __restrict met,
                                      int64_t* __restrict scalar) {
    const int n = in.count;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        scalar[k] = asphereLane(in, out, mu[k], inverseMu[k], s, hitX, hitY, hitZ, met, k);
    }
}

bool solvedAcrossTheAxis(int32_t type) {
    return isSpherical(type) || isParaboloid(type);
}

// traceSurface for one lane whose direction is normalised already, as the single-ray loop
// applies it. Every lane that meets a sphere or paraboloid across the axis (dz = 0) comes
// here: the vector path hands such lanes over.
void stepLane(RayPacket& p, int k, const Surface& row, double mu, double searchLength) {
    const Ray ray = p.get(k);
    if (solvedAcrossTheAxis(row.type) && ray.direction.z == 0.0 && !isDead(ray)) {
        p.sideways[k] = true;
    }
    p.update(k, traceSurface(ray, row, mu, searchLength));
}

// The lane loops write their results apart from their inputs (a result that equals its
// input would otherwise become a store the vectoriser cannot take), then copy them back.
RayPacket& scratch() {
    thread_local RayPacket out;
    return out;
}

void copyLanes(const RayPacket& from, RayPacket& to) {
    const size_t n = static_cast<size_t>(to.count);
    std::copy_n(from.px, n, to.px);
    std::copy_n(from.py, n, to.py);
    std::copy_n(from.pz, n, to.pz);
    std::copy_n(from.dx, n, to.dx);
    std::copy_n(from.dy, n, to.dy);
    std::copy_n(from.dz, n, to.dz);
}

// Row i for the lanes of a packet, lane k in tables[owner[k]] (every lane in tables[0]
// when owner is null); the tables differ in their radii only.
struct RowStep {
    // The lane arrays stay uninitialised: each is filled before it is read.
    RowStep(std::span<const SurfaceTable* const> tables_, const int* owner_, int i_, RayPacket& p_,
            double searchLength_)
        : tables(tables_), owner(owner_), i(i_), p(p_), searchLength(searchLength_) {}

    std::span<const SurfaceTable* const> tables;
    const int* owner;
    int i;
    RayPacket& p;
    double searchLength;
    // Each lane's relative index and its inverse, once the packet is vector-sized.
    alignas(64) double mu[kPacketCapacity];
    alignas(64) double inverseMu[kPacketCapacity];
    // Set by the lane loops for the lanes they leave to the single-ray step.
    alignas(64) int64_t scalar[kPacketCapacity];

    const SurfaceTable& tableOf(int k) const {
        return owner == nullptr ? *tables[0] : *tables[owner[k]];
    }
    const Surface& rowOf(int k) const { return tableOf(k)[static_cast<size_t>(i)]; }
    const Surface& row() const { return (*tables[0])[static_cast<size_t>(i)]; }
    // The lane's relative index for the single-ray step; a row that does not refract
    // never reads it, and its lanes' indices are not looked up.
    bool indexed = false;
    double muOf(int k) const { return indexed ? mu[k] : 1.0; }
};

// A few rays: the single-ray step itself, which skips what a ray does not need.
void stepFewLanes(RowStep& step) {
    RayPacket& p = step.p;
    const int n = p.count;
    for (int k = 0; k < n; ++k) {
        const Vec3 unit = unitDirection({p.dx[k], p.dy[k], p.dz[k]});
        p.dx[k] = unit.x;
        p.dy[k] = unit.y;
        p.dz[k] = unit.z;
        stepLane(p, k, step.rowOf(k), relativeIndex(step.tableOf(k), step.i, p.line[k]),
                 step.searchLength);
    }
}

// The relative index of each lane's line, as relativeIndex gives it (the indices are the
// same in every table), found once for each line present.
void findRelativeIndices(RowStep& step) {
    const SurfaceTable& first = *step.tables[0];
    const RayPacket& p = step.p;
    const int n = p.count;
    int32_t lastLine = p.line[0];
    double lastMu = relativeIndex(first, step.i, lastLine);
    double lastInverse = 1 / lastMu;
    for (int k = 0; k < n; ++k) {
        if (p.line[k] != lastLine) {
            lastLine = p.line[k];
            lastMu = relativeIndex(first, step.i, lastLine);
            lastInverse = 1 / lastMu;
        }
        step.mu[k] = lastMu;
        step.inverseMu[k] = lastInverse;
    }
}

void stepLiveLanes(RowStep& step) {
    const int n = step.p.count;
    for (int k = 0; k < n; ++k) {
        if (!step.p.dead(k)) {
            stepLane(step.p, k, step.rowOf(k), step.muOf(k), step.searchLength);
        }
    }
}

// The lane loop's results taken, then the single-ray step for the lanes it left.
void finishFrom(RowStep& step, const RayPacket& out) {
    copyLanes(out, step.p);
    const int n = step.p.count;
    for (int k = 0; k < n; ++k) {
        if (step.scalar[k] != 0) {
            stepLane(step.p, k, step.rowOf(k), step.muOf(k), step.searchLength);
        }
    }
}

void stepPlaneRow(RowStep& step) {
    const Surface& row = step.row();
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
                         row.type};
    RayPacket& out = scratch();
    planeVector(step.p, out, step.mu, step.inverseMu, plane, step.scalar);
    finishFrom(step, out);
}

void stepSphereRow(RowStep& step) {
    const Surface& row = step.row();
    const double inverse = 1 / std::fabs(row.radius);
    const SphereRow sphere{row.x, row.y,   row.z + row.radius,         row.radius,
                           row.z, inverse, rimOf(row.effectiveRadius), row.type};
    RayPacket& out = scratch();
    if (step.owner != nullptr) {
        alignas(64) double radius[kPacketCapacity];
        const int n = step.p.count;
        for (int k = 0; k < n; ++k) {
            radius[k] = step.rowOf(k).radius;
        }
        sphereVectorAcross(step.p, out, step.mu, step.inverseMu, sphere, radius, step.scalar);
    } else if (isFocal(row.type) || inverse < kInfinity) {
        sphereVector(step.p, out, step.mu, step.inverseMu, sphere, step.scalar);
    } else {
        stepLiveLanes(step);
        return;
    }
    finishFrom(step, out);
}

void stepParaboloidRow(RowStep& step) {
    const Surface& row = step.row();
    alignas(64) double radius[kPacketCapacity];
    const int n = step.p.count;
    for (int k = 0; k < n; ++k) {
        radius[k] = step.rowOf(k).radius;
        // A paraboloid of radius 0 has the normal (0, 0, 1): the single-ray step takes it.
        if (radius[k] == 0.0) {
            stepLiveLanes(step);
            return;
        }
    }
    const ParaboloidRow paraboloid{row.x, row.y, row.z, rimOf(row.effectiveRadius)};
    RayPacket& out = scratch();
    paraboloidVector(step.p, out, paraboloid, radius, step.scalar);
    finishFrom(step, out);
}

// The asphere search in lock step: every lane takes the single-ray search's opening
// probes, halvings, monotonicity tests and Newton steps (asphere_search.h, the same
// expressions), one stage per pass over the lanes, so that each lane ends on the bits its
// own search gives. A lane the passes leave unfinished (a search longer than the passes)
// is searched alone.
enum LaneSearch : int64_t {
    kHalving = 0,
    kNewton = 1,
    kMet = 2,
    kMissed = 3,
    kAxial = 4, // met at its own x, y without a search; t holds the point's z
};

// Passes of halvings before the lanes still halving are searched alone.
constexpr int kLockStepHalvings = 64;

struct AsphereLanes {
    alignas(64) double lo[kPacketCapacity];
    alignas(64) double hi[kPacketCapacity];
    alignas(64) double fLo[kPacketCapacity];
    alignas(64) double fHi[kPacketCapacity];
    alignas(64) double t[kPacketCapacity];
    alignas(64) int64_t state[kPacketCapacity];
};

KIRO_LANE Ray laneRay(const RayPacket& p, int k) {
    return {2, {p.px[k], p.py[k], p.pz[k]}, {p.dx[k], p.dy[k], p.dz[k]}};
}

// Keeps a lane's search where keep holds, else takes lo, hi, fLo, fHi and t.
KIRO_LANE void storeLane(AsphereLanes& l, int k, bool keep, double lo, double hi, double fLo,
                         double fHi, double t, int64_t state) {
    l.lo[k] = choose(keep, l.lo[k], lo);
    l.hi[k] = choose(keep, l.hi[k], hi);
    l.fLo[k] = choose(keep, l.fLo[k], fLo);
    l.fHi[k] = choose(keep, l.fHi[k], fHi);
    l.t[k] = choose(keep, l.t[k], t);
    l.state[k] = choose(keep, l.state[k], state);
}

// Continue, Met and Miss (0, 1, 2) become kHalving, kMet and kMissed (0, 2, 3).
KIRO_LANE int64_t stateAfter(asphere::Step step) {
    static_assert(kHalving == 0 && kMet == 2 && kMissed == 3);
    const auto s = static_cast<int64_t>(step);
    return s + static_cast<int64_t>(s != 0);
}

// After a halving that left a lane still searching (state kHalving): when the interval
// passes the monotonicity test the lane starts Newton's method there, as the single-ray
// search does before it would halve again.
KIRO_LANE void startNewtonWhereMonotone(const asphere::Profile& s, const Ray ray, double lo,
                                        double hi, double fLo, double fHi, double& t,
                                        int64_t& state) {
    const bool single = asphere::monotone<asphere::ByMask>(s, ray, lo, hi) & (state == kHalving);
    t = choose(single, asphere::newtonStart<asphere::ByMask>(lo, hi, fLo, fHi), t);
    state = choose(single, int64_t{kNewton}, state);
}

// Which passes a lane still needs, one bit for each, to be or-ed over the lanes.
constexpr int64_t kNeedsHalving = 1;
constexpr int64_t kNeedsNewton = 2;
KIRO_LANE int64_t needs(int64_t state) {
    return choose(state == kHalving, kNeedsHalving, int64_t{0}) |
           choose(state == kNewton, kNeedsNewton, int64_t{0});
}

// The opening probes, the first halving and the first monotonicity test. Returns the
// passes the lanes need (needs).
KIRO_VECTOR_CLONES int64_t openAsphereLanes(const RayPacket& __restrict p, const asphere::Profile s,
                                            double searchLength, AsphereLanes& __restrict l) {
    const int n = p.count;
    int64_t reached = 0;
#pragma omp simd reduction(| : reached)
    for (int k = 0; k < n; ++k) {
        const Ray ray = laneRay(p, k);
        double lo, hi, fLo, fHi, t;
        const asphere::Step opened =
            asphere::open<asphere::ByMask>(s, ray, searchLength, lo, hi, fLo, fHi, t);
        double hLo = lo, hHi = hi, hFLo = fLo, hFHi = fHi, hT = t;
        const asphere::Step halved =
            asphere::halve<asphere::ByMask>(s, ray, hLo, hHi, hFLo, hFHi, hT);
        const bool halves = opened == asphere::Step::Continue;
        const bool axial = (p.dx[k] == 0.0) & (p.dy[k] == 0.0);
        const bool live = alive(p.dx[k], p.dy[k], p.dz[k]);
        const int64_t searched = choose(halves, stateAfter(halved), stateAfter(opened));
        int64_t state = choose(!live, int64_t{kMissed}, choose(axial, int64_t{kAxial}, searched));
        lo = choose(halves, hLo, lo);
        hi = choose(halves, hHi, hi);
        fLo = choose(halves, hFLo, fLo);
        fHi = choose(halves, hFHi, fHi);
        t = choose(halves, hT, t);
        const double x = p.px[k], y = p.py[k];
        t = choose(axial, asphere::sag(s, x * x + y * y), t);
        startNewtonWhereMonotone(s, ray, lo, hi, fLo, fHi, t, state);
        l.lo[k] = lo;
        l.hi[k] = hi;
        l.fLo[k] = fLo;
        l.fHi[k] = fHi;
        l.t[k] = t;
        l.state[k] = state;
        reached |= needs(state);
    }
    return reached;
}

// A packet whose lanes all run along the axis (or are dead) needs no search at all: the
// on-axis field's packets.
KIRO_VECTOR_CLONES void axialAsphereLanes(const RayPacket& __restrict p, const asphere::Profile s,
                                          AsphereLanes& __restrict l) {
    const int n = p.count;
#pragma omp simd
    for (int k = 0; k < n; ++k) {
        const double x = p.px[k], y = p.py[k];
        l.t[k] = asphere::sag(s, x * x + y * y);
        l.state[k] = choose(alive(p.dx[k], p.dy[k], p.dz[k]), int64_t{kAxial}, int64_t{kMissed});
    }
}

// One halving for the lanes whose interval failed the monotonicity test, then the test
// again. Returns the passes the lanes need after it.
KIRO_VECTOR_CLONES int64_t halveAsphereLanes(const RayPacket& __restrict p,
                                             const asphere::Profile s, AsphereLanes& __restrict l) {
    const int n = p.count;
    int64_t reached = 0;
#pragma omp simd reduction(| : reached)
    for (int k = 0; k < n; ++k) {
        const Ray ray = laneRay(p, k);
        double lo = l.lo[k], hi = l.hi[k], fLo = l.fLo[k], fHi = l.fHi[k], t = l.t[k];
        const bool active = l.state[k] == kHalving;
        int64_t state = stateAfter(asphere::halve<asphere::ByMask>(s, ray, lo, hi, fLo, fHi, t));
        startNewtonWhereMonotone(s, ray, lo, hi, fLo, fHi, t, state);
        storeLane(l, k, !active, lo, hi, fLo, fHi, t, state);
        reached |= needs(l.state[k]);
    }
    return reached;
}

// One Newton step for every lane in Newton's method. True while some lane goes on.
KIRO_VECTOR_CLONES bool newtonAsphereLanes(const RayPacket& __restrict p, const asphere::Profile s,
                                           AsphereLanes& __restrict l) {
    const int n = p.count;
    int64_t going = 0;
#pragma omp simd reduction(| : going)
    for (int k = 0; k < n; ++k) {
        const Ray ray = laneRay(p, k);
        double lo = l.lo[k], hi = l.hi[k], fLo = l.fLo[k], fHi = l.fHi[k], t = l.t[k];
        const bool met =
            asphere::newtonStep<asphere::ByMask>(s, ray, lo, hi, fLo, fHi, t) == asphere::Step::Met;
        const bool active = l.state[k] == kNewton;
        storeLane(l, k, !active, lo, hi, fLo, fHi, t, choose(met, int64_t{kMet}, int64_t{kNewton}));
        going |= static_cast<int64_t>(active & !met);
    }
    return going != 0;
}

// Each lane's meeting point searched in lock step, the rest of the step for all at once.
void stepAsphereRow(RowStep& step) {
    const Surface& row = step.row();
    RayPacket& p = step.p;
    alignas(64) double hitX[kPacketCapacity];
    alignas(64) double hitY[kPacketCapacity];
    alignas(64) double hitZ[kPacketCapacity];
    alignas(64) int64_t met[kPacketCapacity];
    const int n = p.count;
    const asphere::Profile profile{row.z, row.radius, row.a2, row.a3, row.a4};
    AsphereLanes lanes;
    bool offAxis = false;
    for (int k = 0; k < n; ++k) {
        offAxis |= (p.dx[k] != 0.0) | (p.dy[k] != 0.0);
    }
    int64_t reached = 0;
    if (offAxis) {
        reached = openAsphereLanes(p, profile, step.searchLength, lanes);
    } else {
        axialAsphereLanes(p, profile, lanes);
    }
    for (int pass = 0; (reached & kNeedsHalving) != 0 && pass < kLockStepHalvings; ++pass) {
        reached = halveAsphereLanes(p, profile, lanes);
    }
    bool going = (reached & kNeedsNewton) != 0;
    for (int pass = 0; going && pass < asphere::kMaxNewtonSteps; ++pass) {
        going = newtonAsphereLanes(p, profile, lanes);
    }
    for (int k = 0; k < n; ++k) {
        const int64_t state = lanes.state[k];
        const double t = lanes.t[k];
        if (state == kMet) {
            hitX[k] = p.px[k] + t * p.dx[k];
            hitY[k] = p.py[k] + t * p.dy[k];
            hitZ[k] = p.pz[k] + t * p.dz[k];
            met[k] = 1;
        } else if (state == kAxial) {
            hitX[k] = p.px[k];
            hitY[k] = p.py[k];
            hitZ[k] = t;
            met[k] = 1;
        } else if (state == kMissed) {
            hitX[k] = p.px[k];
            hitY[k] = p.py[k];
            hitZ[k] = p.pz[k];
            met[k] = 0;
        } else {
            const SurfaceMeet meet = meetSurface(p.get(k), row, step.searchLength);
            hitX[k] = meet.point.x;
            hitY[k] = meet.point.y;
            hitZ[k] = meet.point.z;
            met[k] = meet.met;
        }
    }
    const AsphereRow asphere{row.x,
                             row.y,
                             row.z,
                             row.radius,
                             row.a2,
                             row.a3,
                             row.a4,
                             row.radius == 0.0 && row.a2 == 0.0 && row.a3 == 0.0 && row.a4 == 0.0,
                             rimOf(row.effectiveRadius),
                             isLens(row.type)};
    RayPacket& out = scratch();
    asphereVector(p, out, step.mu, step.inverseMu, asphere, hitX, hitY, hitZ, met, step.scalar);
    finishFrom(step, out);
}

void traceRowAcross(std::span<const SurfaceTable* const> tables, const int* owner, int i,
                    RayPacket& p, double searchLength) {
    RowStep step{tables, owner, i, p, searchLength};
    if (p.count < kVectorLanes) {
        stepFewLanes(step);
        return;
    }
    normaliseVector(p);
    const Surface& row = step.row();
    const int32_t type = row.type;
    // The asphere row's loop reads every lane's index, whatever the row.
    step.indexed = isLens(type) || isAspheric(type);
    if (step.indexed) {
        findRelativeIndices(step);
    }

    // Rows whose clear radius is not banded (0, or too small to square) are tested by the
    // root alone: the single-ray step takes them.
    const bool rimTested = !isFocal(type);
    if (rimTested && !rimOf(row.effectiveRadius).banded) {
        stepLiveLanes(step);
    } else if (isFlat(type)) {
        stepPlaneRow(step);
    } else if (isSpherical(type)) {
        stepSphereRow(step);
    } else if (isParaboloid(type)) {
        stepParaboloidRow(step);
    } else if (isAspheric(type) && owner == nullptr) {
        stepAsphereRow(step);
    } else {
        stepLiveLanes(step);
    }
}

} // namespace

void tracePacketRow(const SurfaceTable& table, int i, RayPacket& p, double searchLength) {
    const SurfaceTable* tables[] = {&table};
    traceRowAcross(tables, nullptr, i, p, searchLength);
}

bool alikeButRadii(const SurfaceTable& a, const SurfaceTable& b) {
    // Compared as bytes, so that a NaN field counts as equal to itself: the doubles from x
    // to nz, and from a2 through the indices, which lie without gaps between them.
    constexpr size_t kBeforeRadius = offsetof(Surface, radius) - offsetof(Surface, x);
    constexpr size_t kAfterRadius = offsetof(Surface, material) - offsetof(Surface, a2);
    static_assert(kBeforeRadius == 6 * sizeof(double));
    static_assert(kAfterRadius == (4 + kIndexSlots) * sizeof(double));
    for (int i = 0; i < kSurfaceRows; ++i) {
        const Surface& r = a[static_cast<size_t>(i)];
        const Surface& s = b[static_cast<size_t>(i)];
        if (r.type != s.type) {
            return false;
        }
        if (r.type < 0) {
            return true;
        }
        if (std::memcmp(&r.x, &s.x, kBeforeRadius) != 0 ||
            std::memcmp(&r.a2, &s.a2, kAfterRadius) != 0) {
            return false;
        }
    }
    return true;
}

bool allAlikeButRadii(std::span<const SurfaceTable* const> tables) {
    for (const SurfaceTable* table : tables) {
        if (table != tables[0] && !alikeButRadii(*tables[0], *table)) {
            return false;
        }
    }
    return true;
}

namespace {

// Every row leaves a dead ray as it is, so once enough of a packet's lanes are dead
// (after an obstruction and the rims about 40 % are, in the later rows) the live ones are
// gathered into fewer lanes for the rows still to come, and put back at the end. A
// gather pays when the dead lanes' share of the rows to come outweighs moving the lanes:
// the rows are weighed in units of a stop's lane, gathering costs kGatherWeight a lane.
constexpr int kGatherWeight = 6;

int laneWeight(int32_t type) {
    if (isSpherical(type) || isAspheric(type)) {
        return 4;
    }
    return isParaboloid(type) ? 6 : 1;
}

KIRO_VECTOR_CLONES int deadLaneCount(const RayPacket& p) {
    const int n = p.count;
    int64_t dead = 0;
#pragma omp simd reduction(+ : dead)
    for (int k = 0; k < n; ++k) {
        dead += static_cast<int64_t>(!alive(p.dx[k], p.dy[k], p.dz[k]));
    }
    return static_cast<int>(dead);
}

// The live lanes at the front of packet, each with the caller's lane it came from and,
// across tables, its table.
struct GatheredLanes {
    RayPacket packet;
    int from[kPacketCapacity];
    int owner[kPacketCapacity];
};

// Lane j of from into lane k of to.
void copyLane(const RayPacket& from, int j, RayPacket& to, int k) {
    to.px[k] = from.px[j];
    to.py[k] = from.py[j];
    to.pz[k] = from.pz[j];
    to.dx[k] = from.dx[j];
    to.dy[k] = from.dy[j];
    to.dz[k] = from.dz[j];
    to.line[k] = from.line[j];
    to.sideways[k] = from.sideways[j];
}

void scatterGatheredLanes(const GatheredLanes& gathered, RayPacket& to) {
    for (int j = 0; j < gathered.packet.count; ++j) {
        copyLane(gathered.packet, j, to, gathered.from[j]);
    }
}

// Gathers the live lanes of p into `into`, without a branch on which lanes live: every
// lane is written to the next free place, which only a live lane takes. When p is `into`
// already (a lane only moves forward), every lane is first put back into home, the
// caller's packet, so that the lanes dropped now end there as they died.
void gatherLiveLanes(const RayPacket& p, const int* owner, GatheredLanes& into, RayPacket& home) {
    const bool again = &p == &into.packet;
    if (again) {
        scatterGatheredLanes(into, home);
    }
    const int n = p.count;
    int j = 0;
    for (int k = 0; k < n; ++k) {
        const bool live = !p.dead(k);
        copyLane(p, k, into.packet, j);
        into.from[j] = again ? into.from[k] : k;
        into.owner[j] = owner == nullptr ? 0 : owner[k];
        j += static_cast<int>(live);
    }
    into.packet.count = j;
}

// The filter's rows of tables[0] for the packet, dead lanes gathered out on the way.
void traceRows(std::span<const SurfaceTable* const> tables, const int* owner, RayPacket& packet,
               RowFilter filter, double searchLength) {
    const SurfaceTable& first = *tables[0];
    int rows[kSurfaceRows];
    int rowCount = 0;
    for (int i = 0; i < kSurfaceRows && first[i].type >= 0; ++i) {
        if (rowPassesFilter(first[i], filter)) {
            rows[rowCount++] = i;
        }
    }
    // weightAfter[r]: what the rows after row r weigh for one lane.
    int weightAfter[kSurfaceRows];
    int weight = 0;
    for (int r = rowCount - 1; r >= 0; --r) {
        weightAfter[r] = weight;
        weight += laneWeight(first[rows[r]].type);
    }
    GatheredLanes gathered;
    RayPacket* p = &packet;
    const int* laneOwner = owner;
    for (int r = 0; r < rowCount && p->count > 0; ++r) {
        traceRowAcross(tables, laneOwner, rows[r], *p, searchLength);
        if (p->count < kVectorLanes || weightAfter[r] < kGatherWeight) {
            continue;
        }
        const int dead = deadLaneCount(*p);
        if (dead * weightAfter[r] >= kGatherWeight * p->count) {
            gatherLiveLanes(*p, laneOwner, gathered, packet);
            p = &gathered.packet;
            laneOwner = owner == nullptr ? nullptr : gathered.owner;
        }
    }
    if (p == &gathered.packet) {
        scatterGatheredLanes(gathered, packet);
    }
}

} // namespace

void tracePacketAcross(std::span<const SurfaceTable* const> tables, const int* owner,
                       RayPacket& packet, RowFilter filter, double searchLength,
                       TableLikeness likeness) {
    if (likeness == TableLikeness::Unknown && !allAlikeButRadii(tables)) {
        // Each lane through its own table, one at a time.
        RayPacket one;
        for (int k = 0; k < packet.count; ++k) {
            one.count = 1;
            one.set(0, packet.get(k));
            one.sideways[0] = packet.sideways[k];
            const SurfaceTable& own = *tables[owner[k]];
            tracePacket(own, one, filter, asphereSearchLength(own));
            packet.update(k, one.get(0));
            packet.sideways[k] = one.sideways[0];
        }
        return;
    }
    traceRows(tables, owner, packet, filter, searchLength);
}

void tracePacket(const SurfaceTable& table, RayPacket& packet, RowFilter filter,
                 double searchLength) {
    const SurfaceTable* tables[] = {&table};
    traceRows(tables, nullptr, packet, filter, searchLength);
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
