#include "presenters/design_dialog_logic.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "design/catadioptric_builders.h"
#include "design/glass_choice.h"
#include "design/merit.h"
#include "design/reflector_builders.h"
#include "design/refractor_designer.h"
#include "model/c_numbers.h"

namespace kiro {

namespace {

constexpr size_t kFieldChars = 255; // what the dialogs read of an edit field

int usableLine(int line) {
    return isUsableLine(line) ? line : WavelengthLine::d;
}

// The design as the builders start it: cleared, the source at infinity.
Settings designSettings(const Settings& settings) {
    Settings s = settings;
    s.sourceMode = SourceMode::Infinity;
    return s;
}

// Success replaces the design (cleared first, as the dialogs do); failure leaves it.
DesignResult adopt(LensSystem& lens, const SurfaceTable& work, const DesignResult& built) {
    if (built.ok) {
        clearLensSystem(lens);
        lens.surfaces = work;
    }
    return built;
}

DesignResult unusableSize(double aperture, double fNumber) {
    DesignFailureDetails details;
    details.aperture = aperture;
    details.focalLength = aperture * fNumber;
    return designFailed(DesignFailure::UnusableSize, details);
}

} // namespace

double readFieldNumber(const char* text) {
    if (text == nullptr) {
        return 0.0;
    }
    char buffer[kFieldChars + 1] = {};
    std::strncpy(buffer, text, kFieldChars);
    return strtodC(buffer, nullptr);
}

ReflectorInputs readReflectorFields(const ReflectorFields& fields) {
    ReflectorInputs in;
    in.type = fields.type;
    in.glass = fields.glass;
    in.line = fields.line;
    in.aperture = readFieldNumber(fields.aperture);
    in.fNumber = readFieldNumber(fields.fNumber);
    in.ratio = readFieldNumber(fields.ratio);
    const bool emptyBack = fields.backFocus == nullptr || fields.backFocus[0] == '\0';
    in.backFocus = emptyBack ? 0.0 : readFieldNumber(fields.backFocus);
    return correctedReflectorInputs(in, emptyBack);
}

RefractorInputs readRefractorFields(const RefractorFields& fields) {
    RefractorInputs in;
    in.type = fields.type;
    in.aperture = readFieldNumber(fields.aperture);
    in.fNumber = readFieldNumber(fields.fNumber);
    in.glass1 = fields.glass1;
    in.glass2 = fields.glass2;
    in.glass3 = fields.glass3;
    in.thickness1 = readFieldNumber(fields.thickness1);
    in.thickness2 = readFieldNumber(fields.thickness2);
    in.thickness3 = readFieldNumber(fields.thickness3);
    in.measureFlags = fields.measureFlags;
    in.line = fields.line;
    in.chromaticMask = fields.chromaticMask;
    return correctedRefractorInputs(in);
}

ReflectorInputs correctedReflectorInputs(ReflectorInputs in, bool emptyBackFocus) {
    in.line = usableLine(in.line);
    if (in.ratio <= 0.0) {
        in.ratio = 1.0;
    }
    if (emptyBackFocus) {
        in.backFocus = in.aperture;
    }
    return in;
}

RefractorInputs correctedRefractorInputs(RefractorInputs in) {
    in.line = usableLine(in.line);
    return in;
}

bool acceptsDesignSize(double aperture, double fNumber) {
    const double f = fNumber * aperture;
    return aperture > 0.0 && f > 0.0 && std::isfinite(aperture) && std::isfinite(f);
}

DesignResult designReflector(SurfaceTable& table, const Settings& settings,
                             const GlassCatalog& catalog, const ReflectorInputs& in) {
    const double D = in.aperture, f = in.fNumber * in.aperture;
    const double b = in.backFocus, k = in.ratio;
    const int L = in.line;
    const CorrectedTelescope telescope{
        .aperture = D, .focalLength = f, .backFocus = b, .ratio = k, .line = L, .glass = in.glass};
    switch (in.type) {
    case ReflectorType::Newtonian:
        return buildNewtonian(table, D, f);
    case ReflectorType::Cassegrain:
        return buildCassegrain(table, settings, D, f, b, k);
    case ReflectorType::MaksutovNewtonian:
        return buildMaksutovNewtonian(table, settings, catalog, telescope);
    case ReflectorType::MaksutovCassegrain:
        return buildMaksutovCassegrain(table, settings, catalog, telescope);
    case ReflectorType::DallKirkham:
        return buildDallKirkham(table, settings, D, f, b, k);
    case ReflectorType::SchmidtCassegrain:
        return buildSchmidtCassegrain(table, settings, catalog, telescope);
    case ReflectorType::BakerSchmidtCassegrain:
        return buildBakerSchmidtCassegrain(table, settings, catalog, telescope);
    case ReflectorType::SchmidtCamera:
        return buildSchmidtCamera(table, settings, catalog, telescope);
    default:
        table.fill(Surface{});
        return designSucceeded();
    }
}

DesignResult designRefractor(SurfaceTable& table, const Settings& settings,
                             const GlassCatalog& catalog, const RefractorInputs& in) {
    const double D = in.aperture, f = in.aperture * in.fNumber;
    const RefractorMerit merit{in.measureFlags, in.line, in.chromaticMask};
    switch (in.type) {
    case RefractorType::Doublet:
        return buildDoublet(table, settings, catalog, D, f, merit, in.glass1, in.glass2,
                            in.thickness1, in.thickness2);
    case RefractorType::DoubletFlattener:
        return buildDoubletFlattener(table, settings, catalog, D, f, merit, in.glass1, in.glass2,
                                     in.glass3, in.thickness1, in.thickness2, in.thickness3);
    default:
        table.fill(Surface{});
        return designSucceeded();
    }
}

DesignResult confirmReflectorDialog(LensSystem& lens, ReflectorInputs& kept, int& referenceLine,
                                    const ReflectorFields& fields, const GlassCatalog& catalog) {
    return confirmReflectorInputs(lens, kept, referenceLine, readReflectorFields(fields), catalog);
}

DesignResult confirmRefractorDialog(LensSystem& lens, RefractorInputs& kept, int& referenceLine,
                                    const RefractorFields& fields, const GlassCatalog& catalog) {
    return confirmRefractorInputs(lens, kept, referenceLine, readRefractorFields(fields), catalog);
}

DesignResult confirmReflectorInputs(LensSystem& lens, ReflectorInputs& kept, int& referenceLine,
                                    const ReflectorInputs& inputs, const GlassCatalog& catalog) {
    kept = inputs;
    referenceLine = kept.line;
    if (reflectorTypeAt(listPosition(kept.type)) == ReflectorType::None) {
        return designFailed(DesignFailure::TypeNotChosen);
    }
    if (!acceptsDesignSize(kept.aperture, kept.fNumber)) {
        return unusableSize(kept.aperture, kept.fNumber);
    }
    if (!std::isfinite(kept.ratio) || !std::isfinite(kept.backFocus)) {
        return designRefused();
    }
    SurfaceTable work{};
    const DesignResult built = designReflector(work, designSettings(lens.settings), catalog, kept);
    return adopt(lens, work, built);
}

DesignResult confirmRefractorInputs(LensSystem& lens, RefractorInputs& kept, int& referenceLine,
                                    const RefractorInputs& inputs, const GlassCatalog& catalog) {
    kept = inputs;
    referenceLine = kept.line;
    if (refractorTypeAt(listPosition(kept.type)) == RefractorType::None) {
        return designFailed(DesignFailure::TypeNotChosen);
    }
    if (!acceptsDesignSize(kept.aperture, kept.fNumber)) {
        return unusableSize(kept.aperture, kept.fNumber);
    }
    if (!std::isfinite(kept.thickness1) || !std::isfinite(kept.thickness2) ||
        !std::isfinite(kept.thickness3)) {
        return designRefused();
    }
    SurfaceTable work{};
    const DesignResult built = designRefractor(work, designSettings(lens.settings), catalog, kept);
    return adopt(lens, work, built);
}

void refocusAfterDesign(LensSystem& lens, int referenceLine) {
    const int line = usableLine(referenceLine);
    for (int pass = 0; pass < kRefocusPassesAfterDesign; ++pass) {
        refocus(lens.surfaces, lens.settings, line);
    }
}

} // namespace kiro
