#pragma once

#include "design/measure_flags.h"
#include "model/surface.h"

namespace kiro {

// Reflecting telescope types, in the order of the designer's type list.
enum class ReflectorType {
    None = -1,
    Newtonian,
    Cassegrain,
    MaksutovNewtonian,
    MaksutovCassegrain,
    DallKirkham,
    SchmidtCassegrain,
    BakerSchmidtCassegrain,
    SchmidtCamera,
};
constexpr int kReflectorTypeCount = 8;

enum class RefractorType { None = -1, Doublet, DoubletFlattener };
constexpr int kRefractorTypeCount = 2;

// The type at a position of its designer's type list; None off the list.
constexpr ReflectorType reflectorTypeAt(int position) {
    return position >= 0 && position < kReflectorTypeCount ? static_cast<ReflectorType>(position)
                                                           : ReflectorType::None;
}
constexpr RefractorType refractorTypeAt(int position) {
    return position >= 0 && position < kRefractorTypeCount ? static_cast<RefractorType>(position)
                                                           : RefractorType::None;
}

// A type's position in its designer's type list (-1 for None).
constexpr int listPosition(ReflectorType type) {
    return static_cast<int>(type);
}
constexpr int listPosition(RefractorType type) {
    return static_cast<int>(type);
}

constexpr int kNoGlass = -1;

// The reflecting designer's inputs, kept for the whole run and shown again at the next
// opening of its dialog. The focal length is fNumber * aperture; the secondary's radius
// is ratio times the primary's.
struct ReflectorInputs {
    ReflectorType type = ReflectorType::None;
    double aperture = 200.0;  // D (mm)
    double fNumber = 5.0;     // F
    double ratio = 1.0;       // k = R2 / R1
    double backFocus = 100.0; // b (mm), focus behind the primary
    int glass = kNoGlass;     // corrector glass, catalogue position
    int line = WavelengthLine::d;
};

// The refracting designer's inputs. A thickness of 0 or less means automatic.
struct RefractorInputs {
    RefractorType type = RefractorType::None;
    double aperture = 100.0;
    double fNumber = 9.0;
    int glass1 = kNoGlass, glass2 = kNoGlass, glass3 = kNoGlass;
    double thickness1 = 0.0, thickness2 = 0.0, thickness3 = 0.0;
    MeasureFlags measureFlags = MeasureFlag::All;
    int line = WavelengthLine::d;
    int chromaticMask = (1 << WavelengthLine::d) | (1 << WavelengthLine::F);
};

} // namespace kiro
