#include "presenters/remembered_inputs.h"

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "design/measure_flags.h"
#include "model/glass_catalog.h"
#include "presenters/settings_fields.h"

namespace kiro {
namespace {

constexpr double kIntLimit = std::numeric_limits<int>::max();
constexpr double kLengthLimit = 1e6;    // mm; no telescope of this program is larger
constexpr double kPercentLimit = 100.0; // the optimizer's change range
constexpr double kFNumberLimit = 1000.0;
constexpr double kNoGlassValue = kNoGlass;

bool fits(double v, double lowest, double highest, bool whole) {
    return std::isfinite(v) && v >= lowest && v <= highest && (!whole || v == std::floor(v));
}

// One kept field: its name, how to read and write it, its range and whether it is whole.
template <typename T> struct Field {
    std::string name;
    std::function<double(const T&)> get;
    std::function<void(T&, double)> set;
    double lowest = 0.0;
    double highest = 0.0;
    bool whole = false;
};

template <typename T, typename M>
Field<T> number(const char* name, M T::*member, double lowest, double highest) {
    constexpr bool whole = !std::is_floating_point_v<M>;
    return {name,
            [member](const T& t) { return static_cast<double>(t.*member); },
            [member](T& t, double v) { t.*member = static_cast<M>(v); },
            lowest,
            highest,
            whole};
}

// A set of flags, kept as its number: any combination of the bits of all.
template <typename T, typename E> Field<T> flags(const char* name, Flags<E> T::*member, E all) {
    using Bits = typename Flags<E>::Bits;
    return {name,
            [member](const T& t) { return static_cast<double>((t.*member).bits()); },
            [member](T& t, double v) { t.*member = Flags<E>::fromBits(static_cast<Bits>(v)); },
            0.0,
            static_cast<double>(all),
            true};
}

template <typename T> RememberedValues valuesOf(const std::vector<Field<T>>& fields, const T& t) {
    RememberedValues values;
    for (const Field<T>& field : fields) {
        values[field.name] = field.get(t);
    }
    return values;
}

template <typename T>
void recallFields(const std::vector<Field<T>>& fields, const RememberedValues& values, T& t) {
    for (const Field<T>& field : fields) {
        const auto found = values.find(field.name);
        if (found == values.end()) {
            continue;
        }
        const double v = found->second;
        if (fits(v, field.lowest, field.highest, field.whole)) {
            field.set(t, v);
        }
    }
}

const std::vector<Field<OptimizerSettings>>& optimizerFields() {
    using O = OptimizerSettings;
    static const std::vector<Field<O>> fields = [] {
        std::vector<Field<O>> f{
            number("minimiseSpherical", &O::minimiseSpherical, 0, 1),
            number("sphericalLine", &O::sphericalLine, WavelengthLine::First, WavelengthLine::Last),
            number("minimiseChromatic", &O::minimiseChromatic, 0, 1),
            number("minimiseOsc", &O::minimiseOsc, 0, 1),
            number("changeRangePercent", &O::changeRangePercent, 0, kPercentLimit),
            number("varySphericalLenses", &O::varySphericalLenses, 0, 1),
            number("varySphericalMirrors", &O::varySphericalMirrors, 0, 1),
            number("varyLensSpacings", &O::varyLensSpacings, 0, 1),
        };
        for (int slot = WavelengthLine::First; slot <= WavelengthLine::Last; ++slot) {
            const auto k = static_cast<size_t>(slot - WavelengthLine::First);
            f.push_back({"chromaticLine" + std::to_string(slot),
                         [k](const O& o) { return o.chromaticLines[k] ? 1.0 : 0.0; },
                         [k](O& o, double v) { o.chromaticLines[k] = v != 0.0; }, 0, 1, true});
        }
        return f;
    }();
    return fields;
}

const std::vector<Field<ReflectorInputs>>& reflectorFields() {
    using R = ReflectorInputs;
    static const std::vector<Field<R>> fields{
        number("type", &R::type, -1, kReflectorTypeCount - 1),
        number("aperture", &R::aperture, 0, kLengthLimit),
        number("fNumber", &R::fNumber, 0, kFNumberLimit),
        number("ratio", &R::ratio, -kLengthLimit, kLengthLimit),
        number("backFocus", &R::backFocus, -kLengthLimit, kLengthLimit),
        number("glass", &R::glass, kNoGlassValue, kMaxGlasses - 1),
        number("line", &R::line, WavelengthLine::First, WavelengthLine::Last),
    };
    return fields;
}

const std::vector<Field<RefractorInputs>>& refractorFields() {
    using R = RefractorInputs;
    static const std::vector<Field<R>> fields{
        number("type", &R::type, -1, kRefractorTypeCount - 1),
        number("aperture", &R::aperture, 0, kLengthLimit),
        number("fNumber", &R::fNumber, 0, kFNumberLimit),
        number("glass1", &R::glass1, kNoGlassValue, kMaxGlasses - 1),
        number("glass2", &R::glass2, kNoGlassValue, kMaxGlasses - 1),
        number("glass3", &R::glass3, kNoGlassValue, kMaxGlasses - 1),
        number("thickness1", &R::thickness1, -kLengthLimit, kLengthLimit),
        number("thickness2", &R::thickness2, -kLengthLimit, kLengthLimit),
        number("thickness3", &R::thickness3, -kLengthLimit, kLengthLimit),
        flags("measureFlags", &R::measureFlags, MeasureFlag::All),
        number("line", &R::line, WavelengthLine::First, WavelengthLine::Last),
        number("chromaticMask", &R::chromaticMask, 0, (1 << (WavelengthLine::Last + 1)) - 1),
    };
    return fields;
}

const std::vector<Field<Settings>>& settingsFields() {
    using S = Settings;
    static const std::vector<Field<S>> fields{
        number("rayCount", &S::rayCount, 0, kMaxRayCount),
        number("incidenceAngle", &S::incidenceAngle, -kIntLimit, kIntLimit),
        number("spotGridMode", &S::spotGridMode, 0, 1),
        number("spotGridPoints", &S::spotGridPoints, kMinGridPoints, kMaxGridPoints),
        number("spotGridPitch", &S::spotGridPitch, kMinGridPitch, kIntLimit),
    };
    return fields;
}

} // namespace

RememberedValues rememberedValues(const OptimizerSettings& settings) {
    return valuesOf(optimizerFields(), settings);
}
RememberedValues rememberedValues(const ReflectorInputs& inputs) {
    return valuesOf(reflectorFields(), inputs);
}
RememberedValues rememberedValues(const RefractorInputs& inputs) {
    return valuesOf(refractorFields(), inputs);
}
RememberedValues rememberedValues(const Settings& settings) {
    return valuesOf(settingsFields(), settings);
}

void recallValues(const RememberedValues& values, OptimizerSettings& settings) {
    recallFields(optimizerFields(), values, settings);
}
void recallValues(const RememberedValues& values, ReflectorInputs& inputs) {
    recallFields(reflectorFields(), values, inputs);
}
void recallValues(const RememberedValues& values, RefractorInputs& inputs) {
    recallFields(refractorFields(), values, inputs);
}
void recallValues(const RememberedValues& values, Settings& settings) {
    recallFields(settingsFields(), values, settings);
}

std::optional<int> recalledWhole(const RememberedValues& values, const std::string& name,
                                 int lowest, int highest) {
    const auto found = values.find(name);
    if (found == values.end() || !fits(found->second, lowest, highest, true)) {
        return std::nullopt;
    }
    return static_cast<int>(found->second);
}

} // namespace kiro
