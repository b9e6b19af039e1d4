#pragma once

#include <utility>

#include "model/surface.h"
#include "trace/ray.h"
#include "trace/surface_geometry.h"

namespace kiro {

// Which rows the row loop takes.
enum class RowFilter {
    All,         // every row
    NoFocal,     // all but the focal surfaces (codes 2 and 3)
    OpticalOnly, // mirrors and lenses only (codes 10 and above)
    NoStops      // all but the stops and the obstruction (codes 0 and 1): a chief ray
                 // and the rays around it, which a central obstruction would hide
};

Vec3 reflect(Vec3 d, Vec3 n);
// d and n unit vectors, mu = n_after / n_before; total internal reflection reflects.
Vec3 refract(Vec3 d, Vec3 n, double mu);

// Row i's index at the line divided by row i-1's (row 0 divides by air).
double relativeIndex(const SurfaceTable& table, int i, int line);

// Carries the ray through one row: meet, aperture test, reflect or refract. The ray's
// direction must already be normalised (the row loop does it). searchLength is the
// aspheric search length of the table the row belongs to (asphereSearchLength(table)).
Ray traceSurface(const Ray& ray, const Surface& row, double relativeIndex, double searchLength);
// The same with the search length of a table holding only this row.
Ray traceSurface(const Ray& ray, const Surface& row, double relativeIndex);

bool rowPassesFilter(const Surface& row, RowFilter filter);

// The row loop every caller uses. The visitor, when given, is called as
// visit(rowIndex, rayAfterRow) after each traced row. searchLength must be
// asphereSearchLength(table); callers tracing many rays through one table pass it in.
template <class Visitor>
Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter, double searchLength,
                Visitor&& visit) {
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (!rowPassesFilter(table[i], filter)) {
            continue;
        }
        ray.direction = unitDirection(ray.direction);
        ray = traceSurface(ray, table[i], relativeIndex(table, i, ray.line), searchLength);
        visit(i, static_cast<const Ray&>(ray));
    }
    return ray;
}

template <class Visitor>
Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter, Visitor&& visit) {
    return traceSystem(table, ray, filter, asphereSearchLength(table),
                       std::forward<Visitor>(visit));
}

Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter);
Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter, double searchLength);

} // namespace kiro
