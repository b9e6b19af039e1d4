#pragma once

#include <string>

#include "design/design_result.h"

namespace kiro::cli {

// A failed build's reason in kiro-cli's words (UTF-8 Japanese, as the window shows it);
// empty for a result without a failure.
std::string designFailureWords(const DesignResult& result);

} // namespace kiro::cli
