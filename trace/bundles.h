#pragma once

#include <span>

#include "model/lens_system.h"
#include "trace/ray.h"
#include "trace/ray_packet.h"

namespace kiro {

// Result of a zonal focus: f = 0 means failure (a ray died, or the table is empty).
struct ZonalFocus {
    double f = 0.0;
    Vec3 point{}; // crossing point of the two final rays
};

constexpr double kSineDeviationFailed = -99999.0;
// Callers treat any sine-condition deviation below this as no value.
constexpr double kSineDeviationNoValue = -99990.0;

// Which rows a zonal focus traces: WithStops lets stops and obstructions act (a zone
// behind the obstruction fails); OpticalOnly takes mirrors and lenses only. Focal
// surfaces are always skipped.
enum class ZonalMode { WithStops = 0, OpticalOnly = 1 };

// Focus and focal length h / sin u' of the meridional zone at height h. Reads the source
// (sourceMode, sourceX..Z) from the settings.
ZonalFocus zonalFocus(const SurfaceTable& table, const Settings& settings, int line, double h,
                      ZonalMode mode);

// One zone of a batch: the line, the height h > 0 and, for zonalFociAcross, the table.
struct ZoneRequest {
    int line;
    double h;
    int table;
};

// Whether a batch may trace the ray at +h alone and take the ray at -h as its mirror
// image in x (only where that image is provably the very ray, see bundles.cpp).
enum class ZoneMirror { Use, Ignore };

// zonalFocus of every zone, bit for bit, traced together in packets: results[k] for
// zones[k]; results holds at least as many entries as zones.
void zonalFoci(const SurfaceTable& table, const Settings& settings,
               std::span<const ZoneRequest> zones, ZonalMode mode, std::span<ZonalFocus> results,
               ZoneMirror mirror = ZoneMirror::Use);

// The same for zones of several tables that differ in their radii only (the optimizer's
// candidates), zone k in *tables[zones[k].table], all traced together.
// Tables known to be alike but for their radii (allAlikeButRadii) may say so.
void zonalFociAcross(std::span<const SurfaceTable* const> tables, const Settings& settings,
                     std::span<const ZoneRequest> zones, ZonalMode mode,
                     std::span<ZonalFocus> results, ZoneMirror mirror = ZoneMirror::Use,
                     TableLikeness likeness = TableLikeness::Unknown);

// Focal length of the zone measured with a ray of the line at -h against a d-line ray
// at +h, minus fRef; kSineDeviationFailed when a ray dies, 0 for an empty table.
double sineFocusDeviation(const SurfaceTable& table, double fRef, int line, double h);
// sineFocusDeviation at each of the heights, traced together: deviations[k] for heights[k].
void sineFocusDeviations(const SurfaceTable& table, double fRef, int line,
                         std::span<const double> heights, std::span<double> deviations);

// Fraction of a square pupil grid (settings.spotGridPoints across radius m) launched at
// fieldAngle (radians) that comes through every row.
double lightAmount(const SurfaceTable& table, const Settings& settings, double fieldAngle, double m,
                   int line);

// Whether lightAmount may trace half the pupil of a design that lies in the x-z plane.
// Both ways give the same count; Ignore traces every ray.
enum class PupilSymmetry { Use, Ignore };
double lightAmount(const SurfaceTable& table, const Settings& settings, double fieldAngle, double m,
                   int line, PupilSymmetry symmetry);

// Every row in use has y = 0 and ny = 0.
bool isMirrorSymmetricInY(const SurfaceTable& table);

// The point taken as the crossing of two final rays.
Vec3 crossPoint(const Ray& a, const Ray& b);

} // namespace kiro
