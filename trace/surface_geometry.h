#pragma once

#include "model/surface.h"
#include "trace/ray.h"

namespace kiro {

// Where a ray meets a surface. On a miss the point is the ray's start point.
struct SurfaceMeet {
    bool met = false;
    Vec3 point{};
};

// The two meeting points of a sphere or paraboloid (count 0, 1 or 2). With count 1 only
// first is meaningful; on a miss both are the ray's start point.
struct QuadricMeet {
    int count = 0;
    Vec3 first{};
    Vec3 second{};
};

// A plane behind the start point is met as well; a ray parallel to it misses.
SurfaceMeet meetPlane(const Ray& ray, Vec3 vertex, Vec3 normal);
QuadricMeet meetSphere(const Ray& ray, Vec3 centre, double radius);
// z = vertex.z + ((x - vertex.x)^2 + (y - vertex.y)^2) / (2R)
QuadricMeet meetParaboloid(const Ray& ray, Vec3 vertex, double radius);
// Even asphere z = z0 + a1 rho^2 + a2 rho^4 + a3 rho^6 + a4 rho^8 about the z axis, searched
// along the ray for t in 0..searchLength.
SurfaceMeet meetAsphere(const Ray& ray, double z0, double a1, double a2, double a3, double a4,
                        double searchLength);

// Meets the row's surface and, for spheres and paraboloids, takes the point nearer the
// vertex in z. Rows of unknown type codes are never met.
SurfaceMeet meetSurface(const Ray& ray, const Surface& row, double searchLength);

// Normal (not normalised) of a reflecting or refracting row at a point on it.
Vec3 surfaceNormal(const Surface& row, Vec3 point);

// Search length of the aspheric intersection: the table's axial extent, taken from the
// rows in use and from z = 0, plus 10 mm on either side.
double asphereSearchLength(const SurfaceTable& table);

// The same for a table holding only this row.
double asphereSearchLength(const Surface& row);

} // namespace kiro
