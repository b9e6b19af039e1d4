#pragma once

#include "model/surface.h"
#include "trace/ray.h"

namespace kiro {

// Which rows the row loop takes.
enum class RowFilter {
    All,        // every row
    NoFocal,    // all but the focal surfaces (codes 2 and 3)
    OpticalOnly // mirrors and lenses only (codes 10 and above)
};

Vec3 reflect(Vec3 d, Vec3 n);
// d and n unit vectors, mu = n_after / n_before; total internal reflection reflects.
Vec3 refract(Vec3 d, Vec3 n, double mu);

// Row i's index at the line divided by row i-1's (row 0 divides by air).
double relativeIndex(const SurfaceTable& table, int i, int line);

// Carries the ray through one row: meet, aperture test, reflect or refract.
Ray traceSurface(const Ray& ray, const Surface& row, double relativeIndex);

bool rowPassesFilter(const Surface& row, RowFilter filter);

// The row loop every caller uses. The visitor, when given, is called as
// visit(rowIndex, rayAfterRow) after each traced row.
template <class Visitor>
Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter, Visitor&& visit) {
    for (int i = 0; i < kSurfaceRows && table[i].type >= 0; ++i) {
        if (!rowPassesFilter(table[i], filter)) {
            continue;
        }
        ray.direction = normalize(ray.direction);
        ray = traceSurface(ray, table[i], relativeIndex(table, i, ray.line));
        visit(i, static_cast<const Ray&>(ray));
    }
    return ray;
}

Ray traceSystem(const SurfaceTable& table, Ray ray, RowFilter filter);

} // namespace kiro
