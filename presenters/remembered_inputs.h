#pragma once

#include <map>
#include <optional>
#include <string>

#include "design/designer_inputs.h"
#include "design/optimizer_settings.h"
#include "model/lens_system.h"

namespace kiro {

// The inputs the program keeps between runs, as named numbers. Recalling takes only what
// each field can hold: a value missing, not finite, fractional where a whole number is
// meant, or outside the field's range leaves the field as it was, so that an edited or
// damaged store never puts a value into a dialog that its own checks would refuse.
using RememberedValues = std::map<std::string, double>;

RememberedValues rememberedValues(const OptimizerSettings& settings);
RememberedValues rememberedValues(const ReflectorInputs& inputs);
RememberedValues rememberedValues(const RefractorInputs& inputs);
// The settings dialog's values; the light source is left out, since every start and every
// design file put it back at infinity.
RememberedValues rememberedValues(const Settings& settings);

void recallValues(const RememberedValues& values, OptimizerSettings& settings);
void recallValues(const RememberedValues& values, ReflectorInputs& inputs);
void recallValues(const RememberedValues& values, RefractorInputs& inputs);
void recallValues(const RememberedValues& values, Settings& settings);

// A control's kept whole number (a box ticked or not, a scale bar's position), when it is
// there and within lowest..highest.
std::optional<int> recalledWhole(const RememberedValues& values, const std::string& name,
                                 int lowest, int highest);

} // namespace kiro
