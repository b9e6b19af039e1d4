#pragma once

#include "design/design_result.h"
#include "design/measure_flags.h"
#include "model/glass_catalog.h"
#include "model/lens_system.h"

namespace kiro {

// What the refracting designer minimises, and at which line.
struct RefractorMerit {
    MeasureFlags flags;
    int line = WavelengthLine::d;
    int mask = 0; // chromatic line mask
};

// Sum of the selected measures of the rows over the zones D/200 to D/2.
double refractorMerit(const SurfaceTable& table, const Settings& settings, double D,
                      const RefractorMerit& merit);

// The doublet's rows before its search: equal radii A = 2 (n - 1) f of the lower-index
// glass, automatic thicknesses for t1, t2 of 0 or less, and the focal plane at the mean
// focus. The glasses must be usable at the line.
SurfaceTable doubletStartingRows(const Settings& settings, const GlassEntry& glass1,
                                 const GlassEntry& glass2, double D, double f, int line, double t1,
                                 double t2);

// Air-spaced doublet of aperture D and focal length f: glass1 in front, glass2 behind,
// thicknesses t1 and t2 (0 or less: automatic). The four radii are searched on a grid
// (every candidate has the focal length f to first order), refined, and scaled so that
// the traced near-axis focal length is f. threads: how many threads share the search
// (0: as many as the machine has, at most 4); the winner does not depend on it. On
// failure (a glass missing or unusable, a focal length that cannot be traced) the table
// is left untouched.
DesignResult buildDoublet(SurfaceTable& table, const Settings& settings,
                          const GlassCatalog& catalog, double D, double f,
                          const RefractorMerit& merit, int glass1, int glass2, double t1, double t2,
                          int threads = 0);

// The doublet followed by a two-surface field flattener of glass3 (thickness t3),
// adjusted for the focal length and bent for the sine condition.
DesignResult buildDoubletFlattener(SurfaceTable& table, const Settings& settings,
                                   const GlassCatalog& catalog, double D, double f,
                                   const RefractorMerit& merit, int glass1, int glass2, int glass3,
                                   double t1, double t2, double t3, int threads = 0);

} // namespace kiro
