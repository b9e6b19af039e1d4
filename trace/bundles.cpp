#include "trace/bundles.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "trace/ray_packet.h"
#include "trace/ray_tracer.h"

namespace kiro {

namespace {

constexpr Vec3 kAlongAxis{0.0, 0.0, -1.0};
constexpr int kMinGridPoints = 1;
constexpr int kMaxGridPoints = 100;

// h / sin(u'), u' half the angle between the two final rays. For unit directions
// sin(u') = |a - b| / 2 exactly, which keeps its digits for nearly parallel rays, where
// the cosine of the angle is rounded near 1 and half the digits of the sine are lost.
double focalLength(double h, Vec3 a, Vec3 b) {
    return 2 * h / length(sub(unitDirection(a), unitDirection(b)));
}

// The same for a the mirror image of b in x: unitDirection of the image is the image of
// unitDirection(b), bit for bit (the test squares, the division is by the same length).
double mirroredFocalLength(double h, Vec3 b) {
    const Vec3 unit = unitDirection(b);
    return 2 * h / length(sub({-unit.x, unit.y, unit.z}, unit));
}

Ray zonalRay(const SurfaceTable& table, const Settings& settings, int line, double xt) {
    const double z0 = table[0].z;
    if (settings.sourceMode == SourceMode::Point) {
        const Vec3 source{settings.sourceX, settings.sourceY, settings.sourceZ};
        return {line, source, {xt - source.x, 0.0, z0 - source.z}};
    }
    return {line, {xt, 0.0, z0}, kAlongAxis};
}

} // namespace

ZonalFocus zonalFocus(const SurfaceTable& table, const Settings& settings, int line, double h,
                      ZonalMode mode) {
    const ZoneRequest zone{line, h, 0};
    ZonalFocus result;
    zonalFoci(table, settings, std::span(&zone, 1), mode, std::span(&result, 1));
    return result;
}

namespace {

bool positiveZero(double v) {
    return std::bit_cast<uint64_t>(v) == 0;
}

// Whether the zonal rays at -h and +h of a line are mirror images in x that the tracer
// carries as such. Every IEEE operation is symmetric under a change of sign up to the
// sign of a zero result, and the tracer divides by an x component only where a ray
// crossing the axis (dz = 0) meets a sphere or paraboloid, so the ray at -h ends as the
// mirror image of the ray at +h up to the signs of zeros when the rows in use lie on
// the axis (x, y = 0, plane normals along z) and the source is on it. The y components
// stay +0 throughout when they start so, the rows' y and ny are +0 and no index is
// negative (a product with +0 and a sum with +0 keep +0). What is left is checked on
// the ray at +h once traced (mirrorIsExact).
bool zonesMirrorInX(const SurfaceTable& table, const Settings& settings) {
    if (settings.sourceMode == SourceMode::Point &&
        !(settings.sourceX == 0.0 && positiveZero(settings.sourceY))) {
        return false;
    }
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        const Surface& row = table[i];
        if (row.x != 0.0 || row.nx != 0.0 || !positiveZero(row.y) || !positiveZero(row.ny)) {
            return false;
        }
    }
    return true;
}

bool noNegativeIndex(const SurfaceTable& table, int line) {
    if (line < 0 || line >= kIndexSlots) {
        return false;
    }
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (!(table[i].index[static_cast<size_t>(line)] > 0.0)) {
            return false;
        }
    }
    return true;
}

// The ray at -h is then exactly the mirror image of the ray b at +h when b did not cross
// the axis into a curved row, and either died (so does its image, every decision being
// a comparison of the same magnitudes) or ended with x and z components that are not 0
// (equal up to the sign of a zero means equal).
bool mirrorIsExact(const RayPacket& packet, int k) {
    if (packet.sideways[k]) {
        return false;
    }
    if (packet.dead(k)) {
        return true;
    }
    return packet.px[k] != 0.0 && packet.dx[k] != 0.0 && packet.pz[k] != 0.0 && packet.dz[k] != 0.0;
}

Ray mirroredInX(const Ray& ray) {
    return {ray.line,
            {-ray.position.x, ray.position.y, ray.position.z},
            {-ray.direction.x, ray.direction.y, ray.direction.z}};
}

// Where each zone's two rays sit in the packets.
struct ZoneLanes {
    int plus = -1;  // lane of the ray at +h in the first packet; -1 for an empty table
    int minus = -1; // lane of the ray at -h, in the first packet or (second) the next
    bool minusInSecond = false;
};

constexpr int kZonesPerPacket = kPacketCapacity / 2;

} // namespace

void zonalFoci(const SurfaceTable& table, const Settings& settings,
               std::span<const ZoneRequest> zones, ZonalMode mode, std::span<ZonalFocus> results,
               ZoneMirror mirror) {
    const SurfaceTable* tables[] = {&table};
    zonalFociAcross(tables, settings, zones, mode, results, mirror);
}

void zonalFociAcross(std::span<const SurfaceTable* const> tables, const Settings& settings,
                     std::span<const ZoneRequest> zones, ZonalMode mode,
                     std::span<ZonalFocus> results, ZoneMirror mirror, TableLikeness likeness) {
    for (size_t k = 0; k < zones.size(); ++k) {
        results[k] = ZonalFocus{};
    }
    const SurfaceTable& firstTable = *tables[0];
    const RowFilter filter =
        mode == ZonalMode::WithStops ? RowFilter::NoFocal : RowFilter::OpticalOnly;
    const double searchLength = asphereSearchLength(firstTable);
    // Whether each line's zones mirror, found when the line first comes.
    enum class Known : uint8_t { No, Yes, Unknown };
    // Tables alike but for their radii share the tests on their rows.
    const bool alike = likeness == TableLikeness::Known || allAlikeButRadii(tables);
    likeness = alike ? TableLikeness::Known : TableLikeness::Unknown;
    const std::span<const SurfaceTable* const> examined = alike ? tables.first(1) : tables;
    bool onAxis = mirror == ZoneMirror::Use;
    for (const SurfaceTable* table : examined) {
        onAxis = onAxis && zonesMirrorInX(*table, settings);
    }
    Known lineMirrors[kIndexSlots];
    std::fill(std::begin(lineMirrors), std::end(lineMirrors), Known::Unknown);
    const auto mirrors = [&](int line) {
        if (!onAxis || line < 0 || line >= kIndexSlots) {
            return false;
        }
        Known& known = lineMirrors[line];
        if (known == Known::Unknown) {
            bool positive = true;
            for (const SurfaceTable* table : examined) {
                positive = positive && noNegativeIndex(*table, line);
            }
            known = positive ? Known::Yes : Known::No;
        }
        return known == Known::Yes;
    };

    RayPacket first;
    RayPacket second;
    int firstOwner[kPacketCapacity];
    int secondOwner[kPacketCapacity];
    ZoneLanes lanes[kZonesPerPacket];
    for (size_t begin = 0; begin < zones.size(); begin += kZonesPerPacket) {
        const size_t count = std::min(zones.size() - begin, static_cast<size_t>(kZonesPerPacket));
        first.count = 0;
        second.count = 0;
        for (size_t z = 0; z < count; ++z) {
            const ZoneRequest& zone = zones[begin + z];
            const SurfaceTable& table = *tables[static_cast<size_t>(zone.table)];
            lanes[z] = ZoneLanes{};
            if (table[0].type < 0) {
                continue;
            }
            lanes[z].plus = first.count;
            firstOwner[first.count] = zone.table;
            first.push(zonalRay(table, settings, zone.line, zone.h));
            if (!mirrors(zone.line)) {
                lanes[z].minus = first.count;
                firstOwner[first.count] = zone.table;
                first.push(zonalRay(table, settings, zone.line, -zone.h));
            }
        }
        if (first.count == 0) {
            continue;
        }
        tracePacketAcross(tables, firstOwner, first, filter, searchLength, likeness);
        for (size_t z = 0; z < count; ++z) {
            if (lanes[z].plus >= 0 && lanes[z].minus < 0 && !mirrorIsExact(first, lanes[z].plus)) {
                const ZoneRequest& zone = zones[begin + z];
                lanes[z].minus = second.count;
                lanes[z].minusInSecond = true;
                secondOwner[second.count] = zone.table;
                second.push(zonalRay(*tables[static_cast<size_t>(zone.table)], settings, zone.line,
                                     -zone.h));
            }
        }
        if (second.count > 0) {
            tracePacketAcross(tables, secondOwner, second, filter, searchLength, likeness);
        }
        for (size_t z = 0; z < count; ++z) {
            if (lanes[z].plus < 0) {
                continue;
            }
            const Ray b = first.get(lanes[z].plus);
            const Ray a = lanes[z].minus < 0       ? mirroredInX(b)
                          : lanes[z].minusInSecond ? second.get(lanes[z].minus)
                                                   : first.get(lanes[z].minus);
            if (isDead(a) || isDead(b)) {
                continue;
            }
            ZonalFocus& result = results[begin + z];
            result.point = crossPoint(a, b);
            const double h = zones[begin + z].h;
            result.f = lanes[z].minus < 0 ? mirroredFocalLength(h, b.direction)
                                          : focalLength(h, a.direction, b.direction);
        }
    }
}

double sineFocusDeviation(const SurfaceTable& table, double fRef, int line, double h) {
    double deviation = 0.0;
    sineFocusDeviations(table, fRef, line, std::span(&h, 1), std::span(&deviation, 1));
    return deviation;
}

void sineFocusDeviations(const SurfaceTable& table, double fRef, int line,
                         std::span<const double> heights, std::span<double> deviations) {
    for (size_t k = 0; k < heights.size(); ++k) {
        deviations[k] = 0.0;
    }
    if (table[0].type < 0) {
        return;
    }
    const double z0 = table[0].z;
    const double searchLength = asphereSearchLength(table);
    RayPacket packet;
    for (size_t begin = 0; begin < heights.size(); begin += kZonesPerPacket) {
        const size_t count = std::min(heights.size() - begin, static_cast<size_t>(kZonesPerPacket));
        packet.count = 0;
        for (size_t z = 0; z < count; ++z) {
            const double h = heights[begin + z];
            packet.push({line, {-h, 0.0, z0}, kAlongAxis});
            packet.push({WavelengthLine::d, {h, 0.0, z0}, kAlongAxis});
        }
        tracePacket(table, packet, RowFilter::OpticalOnly, searchLength);
        for (size_t z = 0; z < count; ++z) {
            const Ray a = packet.get(static_cast<int>(2 * z));
            const Ray b = packet.get(static_cast<int>(2 * z + 1));
            deviations[begin + z] =
                isDead(a) || isDead(b)
                    ? kSineDeviationFailed
                    : focalLength(heights[begin + z], a.direction, b.direction) - fRef;
        }
    }
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
    // One grid row (one p) at a time, all its rays in packets; each counts `weight` times.
    const long weight = mirrored ? 2 : 1;
    RayPacket packet;
    const auto traceAndCount = [&] {
        tracePacket(table, packet, RowFilter::All, searchLength);
        for (int k = 0; k < packet.count; ++k) {
            traced += packet.dead(k) ? 0 : weight;
        }
        packet.count = 0;
    };
    const int raysPerPoint = mirrored ? 2 : 4;
    // The sums reach m after n pitches, give or take the rounding: n + 1 values at most.
    double p = 0.0;
    for (int i = 0; i <= n && p < m; ++i, p += step) {
        const double xPlus = p / cosA - m * sinA;
        const double xMinus = -p / cosA - m * sinA;
        const double zStart = z0 + m * cosA;
        double q = 0.0;
        for (int j = 0; j <= n && q < m; ++j, q += step) {
            if (std::sqrt(p * p + q * q) <= m) {
                reference += 4;
            }
            if (packet.count + raysPerPoint > kPacketCapacity) {
                traceAndCount();
            }
            packet.push({line, {xPlus, q, zStart}, direction});
            packet.push({line, {xMinus, q, zStart}, direction});
            if (!mirrored) {
                packet.push({line, {xPlus, -q, zStart}, direction});
                packet.push({line, {xMinus, -q, zStart}, direction});
            }
        }
    }
    if (packet.count > 0) {
        traceAndCount();
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
