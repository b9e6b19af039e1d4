#pragma once

#include "design/measure_flags.h"
#include "model/surface.h"

namespace kiro {

// Reflecting telescope types, in the order of the designer's type list.
namespace ReflectorType {
constexpr int None = -1;
constexpr int Newtonian = 0;
constexpr int Cassegrain = 1;
constexpr int MaksutovNewtonian = 2;
constexpr int MaksutovCassegrain = 3;
constexpr int DallKirkham = 4;
constexpr int SchmidtCassegrain = 5;
constexpr int BakerSchmidtCassegrain = 6;
constexpr int SchmidtCamera = 7;
constexpr int Count = 8;
} // namespace ReflectorType

namespace RefractorType {
constexpr int None = -1;
constexpr int Doublet = 0;
constexpr int DoubletFlattener = 1;
constexpr int Count = 2;
} // namespace RefractorType

constexpr int kNoGlass = -1;

// The reflecting designer's inputs, kept for the whole run and shown again at the next
// opening of its dialog. The focal length is fNumber * aperture; the secondary's radius
// is ratio times the primary's.
struct ReflectorInputs {
    int type = ReflectorType::None;
    double aperture = 200.0;  // D (mm)
    double fNumber = 5.0;     // F
    double ratio = 1.0;       // k = R2 / R1
    double backFocus = 100.0; // b (mm), focus behind the primary
    int glass = kNoGlass;     // corrector glass, catalogue position
    int line = WavelengthLine::d;
};

// The refracting designer's inputs. A thickness of 0 or less means automatic.
struct RefractorInputs {
    int type = RefractorType::None;
    double aperture = 100.0;
    double fNumber = 9.0;
    int glass1 = kNoGlass, glass2 = kNoGlass, glass3 = kNoGlass;
    double thickness1 = 0.0, thickness2 = 0.0, thickness3 = 0.0;
    int measureFlags = MeasureFlag::All;
    int line = WavelengthLine::d;
    int chromaticMask = (1 << WavelengthLine::d) | (1 << WavelengthLine::F);
};

} // namespace kiro
