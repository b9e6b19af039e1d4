#include "analysis/image_landing.h"

#include "trace/ray_tracer.h"

namespace kiro {

bool chiefLanding(const SurfaceTable& table, const Surface& imageRow, double fieldAngle,
                  ImageLanding& landing) {
    if (!aimSpotBeam(table, imageRow, fieldAngle, landing.beam)) {
        return false;
    }
    landing.chief = traceSystem(table, launchSpotRay(landing.beam, 0.0, 0.0, WavelengthLine::d),
                                RowFilter::NoStops, landing.beam.searchLength);
    return !isDead(landing.chief) && isFinite(landing.chief.position);
}

ImageOffset imageOffset(const ImageLanding& landing, Vec3 point) {
    const SpotOffset d = shownOffset(landing.beam.pair, sub(point, landing.chief.position));
    // A sideways image (normal along x) shows (y, z): the field's tilt has turned into z.
    if (landing.beam.pair == PlottedPair::YZ) {
        return {d.b, d.a};
    }
    return {d.a, d.b};
}

} // namespace kiro
