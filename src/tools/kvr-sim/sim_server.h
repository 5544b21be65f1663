#pragma once
// The simulator's pseudo-terminal and serving loop.
#include <iosfwd>

#include "tools/kvr-sim/sim_options.h"

namespace kvrsim {

// Creates the pseudo-terminal, prints its path on `out` (flushed), links it at
// options.link when asked, and answers requests until SIGTERM or SIGINT. Returns the exit
// code; a line of counts goes to `log` at the end.
int RunServer(const SimOptions& options, std::ostream& out, std::ostream& log);

}  // namespace kvrsim
