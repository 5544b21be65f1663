#include "tools/kvrtool/commands.h"

namespace kvrtool {

void RegisterLinkCommands(CLI::App& app) {}

}  // namespace kvrtool
