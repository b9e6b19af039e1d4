#include "analysis/field_curves.h"

#include <cmath>
#include <limits>
#include <vector>

#include "analysis/image_landing.h"
#include "analysis/information_text.h"
#include "analysis/ray_fans.h"
#include "analysis/spot_rays.h"
#include "model/surface_kind.h"
#include "trace/ray_packet.h"
#include "trace/surface_geometry.h"

namespace kiro {

namespace {

constexpr double kPercent = 100.0;
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
constexpr int kRaysPerLine = 4; // tangential -delta, +delta, sagittal -delta, +delta

// The point where two nearly crossing rays come closest, midway between them; false when
// they are parallel.
bool closestApproach(const Ray& a, const Ray& b, Vec3& point) {
    const Vec3 w = sub(a.position, b.position);
    const double aa = dot(a.direction, a.direction);
    const double ab = dot(a.direction, b.direction);
    const double bb = dot(b.direction, b.direction);
    const double aw = dot(a.direction, w);
    const double bw = dot(b.direction, w);
    const double den = aa * bb - ab * ab;
    if (!(den > 0.0)) {
        return false;
    }
    const double s = (ab * bw - bb * aw) / den;
    const double t = (aa * bw - ab * aw) / den;
    point = scale(
        add(add(a.position, scale(a.direction, s)), add(b.position, scale(b.direction, t))), 0.5);
    return isFinite(point);
}

// The image surface's axis at the chief landing, pointing along the light: a plane's
// normal, the z axis for a curved image surface.
Vec3 imageAxis(const Surface& imageRow, const Ray& chief) {
    Vec3 axis = isFlat(imageRow.type) ? normalize(Vec3{imageRow.nx, imageRow.ny, imageRow.nz})
                                      : Vec3{0.0, 0.0, 1.0};
    if (dot(axis, chief.direction) < 0.0) {
        axis = negate(axis);
    }
    return axis;
}

// How far the focus lies beyond the image surface, measured along the axis through it.
double focusDistance(const Surface& imageRow, const ImageLanding& landing, Vec3 focus) {
    const Vec3 axis = imageAxis(imageRow, landing.chief);
    const SurfaceMeet meet =
        meetSurface(Ray{WavelengthLine::d, focus, axis}, imageRow, landing.beam.searchLength);
    if (!meet.met) {
        return kNoValue;
    }
    return -dot(sub(meet.point, focus), axis);
}

double focusOf(const Surface& imageRow, const ImageLanding& landing, const Ray& a, const Ray& b) {
    Vec3 focus;
    if (isDead(a) || isDead(b) || !closestApproach(a, b, focus)) {
        return kNoValue;
    }
    return focusDistance(imageRow, landing, focus);
}

} // namespace

FieldCurves computeFieldCurves(const SurfaceTable& table, const Settings& settings, int lineMask) {
    FieldCurves curves;
    const int count = surfaceCount(table);
    const double f = spotFocalLength(table, settings);
    const double r = apertureRadius(table);
    if (count == 0 || !givesFieldAngles(f) || !(r > 0.0)) {
        return curves;
    }
    curves.valid = true;
    curves.focalLength = nearAxisFocalLength(table, settings, r);
    curves.largestHeight = spotOpeningHeights(table)[kSpotPanelCount - 1];
    const Surface& imageRow = table[static_cast<size_t>(count - 1)];
    const double delta = kFocusPupilFraction * r;
    ImageLanding axial;
    const bool axialReady = chiefLanding(table, imageRow, 0.0, axial);
    std::vector<Ray> rays;
    for (int step = 0; step < kFieldSteps; ++step) {
        FieldPoint& point = curves.points[static_cast<size_t>(step)];
        point.height = curves.largestHeight * step / (kFieldSteps - 1);
        point.fieldAngle = std::atan(point.height / f);
        point.tangential.fill(kNoValue);
        point.sagittal.fill(kNoValue);
        point.distortion = kNoValue;
        ImageLanding landing;
        if (!chiefLanding(table, imageRow, point.fieldAngle, landing)) {
            continue;
        }
        rays.clear();
        for (int slot = WavelengthLine::First; slot <= WavelengthLine::Last; ++slot) {
            if (maskHasLine(lineMask, slot)) {
                rays.push_back(launchSpotRay(landing.beam, -delta, 0.0, slot));
                rays.push_back(launchSpotRay(landing.beam, delta, 0.0, slot));
                rays.push_back(launchSpotRay(landing.beam, 0.0, -delta, slot));
                rays.push_back(launchSpotRay(landing.beam, 0.0, delta, slot));
            }
        }
        traceRays(table, rays, RowFilter::NoStops, landing.beam.searchLength);
        size_t at = 0;
        for (int slot = WavelengthLine::First; slot <= WavelengthLine::Last; ++slot) {
            if (!maskHasLine(lineMask, slot)) {
                continue;
            }
            const size_t s = static_cast<size_t>(slot - WavelengthLine::First);
            point.tangential[s] = focusOf(imageRow, landing, rays[at], rays[at + 1]);
            point.sagittal[s] = focusOf(imageRow, landing, rays[at + 2], rays[at + 3]);
            at += kRaysPerLine;
        }
        if (step == 0) {
            point.distortion = 0.0;
        } else if (axialReady) {
            const double ideal = curves.focalLength * std::tan(point.fieldAngle);
            const ImageOffset real = imageOffset(axial, landing.chief.position);
            point.distortion = kPercent * (std::fabs(real.meridional) - ideal) / ideal;
        }
    }
    return curves;
}

} // namespace kiro
