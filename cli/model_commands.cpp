#include "cli/cli_common.h"

namespace kiro::cli {

void addModelCommands(CLI::App& /*app*/) {}

} // namespace kiro::cli
