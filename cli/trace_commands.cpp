#include "cli/cli_common.h"

namespace kiro::cli {

void addTraceCommands(CLI::App& /*app*/) {}

} // namespace kiro::cli
