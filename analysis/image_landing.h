#pragma once

#include "analysis/spot_rays.h"
#include "model/lens_system.h"
#include "trace/ray.h"

// Where a field point's chief ray meets the image surface, and offsets against it split
// into the meridional and the sagittal direction: what the ray fans and the field curves
// measure against.
namespace kiro {

struct ImageLanding {
    SpotBeam beam{}; // the spot diagram's launch at this field angle (no reference point)
    Ray chief{};     // the d-line ray through the pupil centre, at the image surface
};

// The chief ray passes the stops and the obstruction (which would hide it in a
// Cassegrain); false when row 0 has no clear radius or the chief ray is lost.
bool chiefLanding(const SurfaceTable& table, const Surface& imageRow, double fieldAngle,
                  ImageLanding& landing);

// A point's offset from the chief landing: meridional is along the field's tilt (x for an
// image facing the axis), sagittal across it, in the image surface's plotted pair.
struct ImageOffset {
    double meridional = 0.0;
    double sagittal = 0.0;
};
ImageOffset imageOffset(const ImageLanding& landing, Vec3 point);

} // namespace kiro
