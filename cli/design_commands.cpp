#include "cli/cli_common.h"

namespace kiro::cli {

void addDesignCommands(CLI::App& /*app*/) {}

} // namespace kiro::cli
