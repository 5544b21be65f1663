#include "tools/kvrtool/commands.h"

namespace kvrtool {

void RegisterDataCommands(CLI::App& app) {}

}  // namespace kvrtool
