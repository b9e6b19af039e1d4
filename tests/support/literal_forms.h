#pragma once

#include "model/surface.h"
#include "trace/ray.h"
#include "trace/surface_geometry.h"

// The tracer's formulas in their plain textbook form, with the angles through acos and
// asin, plain bisection for the asphere and both meeting points built. The tracer uses
// faster equal forms; these stay as the yardstick the tests compare them with.
namespace kiro::literal {

// Angles form of Snell's law: theta = acos(d.n), sin(theta_t) = sin(theta) / mu.
Vec3 refract(Vec3 d, Vec3 n, double mu);

// Bisection on t over 0..searchLength until the interval can no longer be halved.
SurfaceMeet meetAsphere(const Ray& ray, double z0, double a1, double a2, double a3, double a4,
                        double searchLength);

// Both meeting points built, then the one nearer the vertex in z.
SurfaceMeet meetSurface(const Ray& ray, const Surface& row, double searchLength);

Ray traceSurface(const Ray& ray, const Surface& row, double relativeIndex, double searchLength);

// h / sin(acos(cos of the angle between the final directions) / 2).
double focalLength(double h, Vec3 a, Vec3 b);

} // namespace kiro::literal
