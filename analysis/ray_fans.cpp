#include "analysis/ray_fans.h"

#include <cmath>
#include <limits>

#include "analysis/image_landing.h"
#include "analysis/spot_rays.h"
#include "analysis/spot_statistics.h"
#include "trace/ray_packet.h"

namespace kiro {

namespace {

// Pupil point of fan point k on row 0's plane. Unlike the spot grid the meridional
// diameter is not stretched by 1 / cos(field): the aperture is a circle in that plane, and
// a stretched rim would be cut off at every field angle.
std::array<double, 2> fanPupilPoint(double radius, FanKind kind, int k) {
    const double p = fanPupilCoordinate(k) * radius;
    if (kind == FanKind::Tangential) {
        return {p, 0.0};
    }
    return {0.0, p};
}

} // namespace

RayFans computeRayFans(const SurfaceTable& table, const Settings& settings,
                       const std::array<double, kSpotPanelCount>& heights, int lineMask) {
    RayFans fans;
    const double f = spotFocalLength(table, settings);
    fans.pupilRadius = apertureRadius(table);
    if (!givesFieldAngles(f) || !(fans.pupilRadius > 0.0)) {
        return fans;
    }
    const Surface& imageRow = table[static_cast<size_t>(surfaceCount(table) - 1)];
    std::vector<Ray> rays;
    for (size_t j = 0; j < kSpotPanelCount; ++j) {
        FanPanel& panel = fans.panels[j];
        panel.height = heights[j];
        panel.fieldAngle = std::atan(heights[j] / f);
        ImageLanding chief;
        if (!chiefLanding(table, imageRow, panel.fieldAngle, chief)) {
            continue;
        }
        rays.clear();
        for (int slot = WavelengthLine::First; slot <= WavelengthLine::Last; ++slot) {
            if (!maskHasLine(lineMask, slot)) {
                continue;
            }
            for (const FanKind kind : {FanKind::Tangential, FanKind::Sagittal}) {
                panel.fans.push_back({slot, kind, {}});
                for (int k = 0; k < kFanPoints; ++k) {
                    const auto p = fanPupilPoint(fans.pupilRadius, kind, k);
                    rays.push_back(launchSpotRay(chief.beam, p[0], p[1], slot));
                }
            }
        }
        traceRays(table, rays, RowFilter::All, chief.beam.searchLength);
        size_t at = 0;
        for (RayFan& fan : panel.fans) {
            for (double& offset : fan.offset) {
                const Ray& ray = rays[at++];
                if (isDead(ray)) {
                    offset = std::numeric_limits<double>::quiet_NaN();
                    continue;
                }
                const ImageOffset d = imageOffset(chief, ray.position);
                offset = kMicrometresPerMillimetre *
                         (fan.kind == FanKind::Tangential ? d.meridional : d.sagittal);
            }
        }
        panel.ready = true;
    }
    return fans;
}

} // namespace kiro
