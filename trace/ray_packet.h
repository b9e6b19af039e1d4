#pragma once

#include <cstdint>
#include <span>
#include <utility>

#include "model/surface.h"
#include "trace/ray.h"
#include "trace/ray_tracer.h"

namespace kiro {

// Rays a packet carries at most.
constexpr int kPacketCapacity = 64;

// A batch of rays, each quantity in its own array, so that one row can be applied to all
// of them in one pass of the processor's vector units. A lane whose direction is
// (0, 0, 0) holds a dead ray.
struct RayPacket {
    int count = 0;
    alignas(64) double px[kPacketCapacity];
    alignas(64) double py[kPacketCapacity];
    alignas(64) double pz[kPacketCapacity];
    alignas(64) double dx[kPacketCapacity];
    alignas(64) double dy[kPacketCapacity];
    alignas(64) double dz[kPacketCapacity];
    int32_t line[kPacketCapacity];
    // Set once the lane has met a sphere or paraboloid while travelling across the axis
    // (dz = 0): the one meeting that is solved in x, and so the one that its mirror image
    // in x may not repeat exactly (of two points of equal z the second root is taken).
    bool sideways[kPacketCapacity];

    void set(int k, const Ray& ray) {
        px[k] = ray.position.x;
        py[k] = ray.position.y;
        pz[k] = ray.position.z;
        dx[k] = ray.direction.x;
        dy[k] = ray.direction.y;
        dz[k] = ray.direction.z;
        line[k] = ray.line;
        sideways[k] = false;
    }
    Ray get(int k) const { return {line[k], {px[k], py[k], pz[k]}, {dx[k], dy[k], dz[k]}}; }
    // Replaces the lane's ray, keeping what the lane has met so far.
    void update(int k, const Ray& ray) {
        const bool wasSideways = sideways[k];
        set(k, ray);
        sideways[k] = wasSideways;
    }
    bool dead(int k) const { return dx[k] == 0.0 && dy[k] == 0.0 && dz[k] == 0.0; }
    // Appends a ray; the caller keeps count below kPacketCapacity.
    void push(const Ray& ray) { set(count++, ray); }
};

// Row i of the table applied to every ray of the packet: the direction normalised as the
// row loop does it, then traceSurface, with the same arithmetic in the same order for
// each ray, so that each ends bit for bit as if it had been traced alone.
void tracePacketRow(const SurfaceTable& table, int i, RayPacket& packet, double searchLength);

// The row loop for a packet: what traceSystem does to each ray. The visitor, when given,
// is called as visit(rowIndex, packet) after each traced row.
template <class Visitor>
void tracePacket(const SurfaceTable& table, RayPacket& packet, RowFilter filter,
                 double searchLength, Visitor&& visit) {
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (!rowPassesFilter(table[i], filter)) {
            continue;
        }
        tracePacketRow(table, i, packet, searchLength);
        visit(i, std::as_const(packet));
    }
}

// Without a visitor, the lanes that die on the way are set aside for the rows after: the
// same rays in the end, with less work.
void tracePacket(const SurfaceTable& table, RayPacket& packet, RowFilter filter,
                 double searchLength);

// Whether two tables differ in nothing but their radii (the optimizer's candidates).
bool alikeButRadii(const SurfaceTable& a, const SurfaceTable& b);

// Lane k traced through *tables[owner[k]], each ray as traceSystem carries it; tables
// that differ in their radii only share one pass over the rows (others are traced one
// lane at a time). The search length must be that of every table (their z are alike).
// Known: the caller has checked allAlikeButRadii.
enum class TableLikeness { Unknown, Known };
bool allAlikeButRadii(std::span<const SurfaceTable* const> tables);
void tracePacketAcross(std::span<const SurfaceTable* const> tables, const int* owner,
                       RayPacket& packet, RowFilter filter, double searchLength,
                       TableLikeness likeness = TableLikeness::Unknown);

// Any number of rays, carried in packets: each ends as traceSystem would leave it.
void traceRays(const SurfaceTable& table, std::span<Ray> rays, RowFilter filter,
               double searchLength);

} // namespace kiro
