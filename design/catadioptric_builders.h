#pragma once

#include "design/design_result.h"
#include "model/glass_catalog.h"
#include "model/lens_system.h"

namespace kiro {

// The builders of the reflecting types with a glass corrector. Each checks the corrector
// glass (catalogue position glass, usable at the reference line L) first; on failure
// the table is left untouched and the result names the glass. On success the table holds
// the complete design, its focal surface still waiting for the final refocus.

// What a corrected telescope is built from.
struct CorrectedTelescope {
    double aperture = 0.0;    // D (mm)
    double focalLength = 0.0; // f (mm)
    double backFocus = 0.0;   // b (mm), focus behind the primary; two-mirror types
    double ratio = 0.0;       // k = R2 / R1; two-mirror types
    int line = WavelengthLine::d;
    int glass = -1; // the corrector's glass, catalogue position
};

// Radii of the Maksutov meniscus for aperture D and focal length f in glass of index nd
// at the d line.
struct Meniscus {
    double front = 0.0; // m1
    double rear = 0.0;  // m2
};
Meniscus maksutovMeniscus(double D, double f, double nd);

// Aspheric face of a Schmidt plate for the system of aperture D and focal length f, in
// glass of index nL; c scales f to the mirror's focal length f' = c f.
struct SchmidtPlate {
    bool valid = false; // false when D / f is too large for the profile
    double c = 0.0, fPrime = 0.0;
    double a1 = 0.0, a2 = 0.0, a3 = 0.0, a4 = 0.0;
};
SchmidtPlate schmidtPlate(double D, double f, double nL);

DesignResult buildMaksutovNewtonian(SurfaceTable& table, const Settings& settings,
                                    const GlassCatalog& catalog,
                                    const CorrectedTelescope& telescope);
DesignResult buildMaksutovCassegrain(SurfaceTable& table, const Settings& settings,
                                     const GlassCatalog& catalog,
                                     const CorrectedTelescope& telescope);
DesignResult buildSchmidtCassegrain(SurfaceTable& table, const Settings& settings,
                                    const GlassCatalog& catalog,
                                    const CorrectedTelescope& telescope);
DesignResult buildBakerSchmidtCassegrain(SurfaceTable& table, const Settings& settings,
                                         const GlassCatalog& catalog,
                                         const CorrectedTelescope& telescope);
DesignResult buildSchmidtCamera(SurfaceTable& table, const Settings& settings,
                                const GlassCatalog& catalog, const CorrectedTelescope& telescope);

} // namespace kiro
