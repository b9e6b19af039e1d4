#pragma once

#include <QString>

#include "design/design_result.h"

namespace kiro::app {

// The label of a designer control that chooses a glass, in the interface's language.
QString glassControlLabel(GlassControl control);

// Why a build failed, in the interface's language: the core's code and details worded
// as the core words them in Japanese (DesignResult::message). Empty for no failure.
QString designFailureText(const DesignResult& result);

} // namespace kiro::app
