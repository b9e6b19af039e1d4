#pragma once

#include "design/design_result.h"
#include "model/lens_system.h"

namespace kiro {

// The all-mirror builders. Each replaces the table with a complete design of aperture D
// and focal length f (mm) whose focal plane still waits for the final refocus; on
// failure the table is left untouched. settings supply the light source the measures
// read (the designers run with the source at infinity).

// Paraboloid primary with its focus at z = 0; no tuning.
DesignResult buildNewtonian(SurfaceTable& table, double D, double f);

// Paraboloid primary and aspheric secondary with focus b behind the primary; the
// secondary's 4th-order term is tuned for spherical aberration.
DesignResult buildCassegrain(SurfaceTable& table, const Settings& settings, double D, double f,
                             double b, double k);

// Aspheric primary and spherical secondary; the primary's 4th and 6th-order terms are
// tuned for spherical aberration.
DesignResult buildDallKirkham(SurfaceTable& table, const Settings& settings, double D, double f,
                              double b, double k);

} // namespace kiro
