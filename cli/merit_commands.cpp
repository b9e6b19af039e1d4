#include "cli/cli_common.h"

namespace kiro::cli {

void addMeritCommands(CLI::App& /*app*/) {}

} // namespace kiro::cli
