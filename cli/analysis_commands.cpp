#include "cli/cli_common.h"

namespace kiro::cli {

void addAnalysisCommands(CLI::App& /*app*/) {}

} // namespace kiro::cli
