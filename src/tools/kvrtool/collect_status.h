#pragma once
// DIR/status.json of a running collector, and the table "kvrtool collect --status" prints
// from it.
#include <ostream>
#include <string>
#include <vector>

#include "core/link/bus_station.h"

namespace kvrtool {

struct StatusEntry {
    std::string name;
    std::string port;
    int address = 0;
    kvr::StationStatus status;
};

// Replaces DIR/status.json atomically (written beside it, then renamed). False on failure.
bool WriteStatusFile(const std::string& dir, kvr::Time now,
                     const std::vector<StatusEntry>& entries);
// Prints DIR/status.json as a table; false with *error when it cannot be read.
bool PrintStatusTable(const std::string& dir, std::ostream& out, std::string* error);

}  // namespace kvrtool
