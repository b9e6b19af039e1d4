#pragma once

#include "design/design_result.h"
#include "design/designer_inputs.h"
#include "model/glass_catalog.h"
#include "model/lens_system.h"

namespace kiro {

// What the reflecting designer's dialog holds when OK is pressed: the list selections
// (-1 when nothing is selected), the checked line and the texts of the edit fields.
struct ReflectorFields {
    ReflectorType type = ReflectorType::None;
    int glass = kNoGlass;
    int line = WavelengthLine::d;
    const char* aperture = "";
    const char* fNumber = "";
    const char* ratio = "";
    const char* backFocus = "";
};

struct RefractorFields {
    RefractorType type = RefractorType::None;
    int glass1 = kNoGlass, glass2 = kNoGlass, glass3 = kNoGlass;
    MeasureFlags measureFlags = MeasureFlag::All;
    int line = WavelengthLine::d;
    int chromaticMask = 0;
    const char* aperture = "";
    const char* fNumber = "";
    const char* thickness1 = "";
    const char* thickness2 = "";
    const char* thickness3 = "";
};

// An edit field's number: its first 255 characters read as a double, text that is not a
// number giving 0.
double readFieldNumber(const char* text);

// The fields as inputs, with the dialog's corrections: a ratio of 0 or less becomes 1, an
// empty back focus becomes the aperture, a line outside C..h becomes d.
ReflectorInputs readReflectorFields(const ReflectorFields& fields);
RefractorInputs readRefractorFields(const RefractorFields& fields);

// The same corrections for inputs the desktop program has read from its fields itself.
ReflectorInputs correctedReflectorInputs(ReflectorInputs inputs, bool emptyBackFocus);
RefractorInputs correctedRefractorInputs(RefractorInputs inputs);

// Aperture and focal length usable by a builder: finite and above 0. Others are refused
// with the failure UnusableSize.
bool acceptsDesignSize(double aperture, double fNumber);

// Runs the builder of inputs.type into table (which it replaces only on success).
// A type outside the list builds nothing and empties the table. settings supply the
// light source the measures read.
DesignResult designReflector(SurfaceTable& table, const Settings& settings,
                             const GlassCatalog& catalog, const ReflectorInputs& inputs);
DesignResult designRefractor(SurfaceTable& table, const Settings& settings,
                             const GlassCatalog& catalog, const RefractorInputs& inputs);

// The designers' OK. The inputs are read and remembered in kept, and referenceLine is set
// to their line, before anything is checked. No type chosen (TypeNotChosen) and a refused
// size (UnusableSize) fail with their message and change nothing else; otherwise the
// design is cleared and built afresh; when the build fails the design stays exactly as
// it was and the message says why (the dialog shows it in its error box and stays
// open). Other values no builder can use (a non-finite ratio, back focus or thickness)
// are refused without a word. On ok the caller finishes with refocusAfterDesign and
// fits the view.
DesignResult confirmReflectorDialog(LensSystem& lens, ReflectorInputs& kept, int& referenceLine,
                                    const ReflectorFields& fields, const GlassCatalog& catalog);
DesignResult confirmRefractorDialog(LensSystem& lens, RefractorInputs& kept, int& referenceLine,
                                    const RefractorFields& fields, const GlassCatalog& catalog);
// The same from inputs already read and corrected.
DesignResult confirmReflectorInputs(LensSystem& lens, ReflectorInputs& kept, int& referenceLine,
                                    const ReflectorInputs& inputs, const GlassCatalog& catalog);
DesignResult confirmRefractorInputs(LensSystem& lens, RefractorInputs& kept, int& referenceLine,
                                    const RefractorInputs& inputs, const GlassCatalog& catalog);

// After a design: the focal surface is moved to the mean focus at the reference line,
// twice (the second pass starts from the focus the first found).
constexpr int kRefocusPassesAfterDesign = 2;
void refocusAfterDesign(LensSystem& lens, int referenceLine);

} // namespace kiro
