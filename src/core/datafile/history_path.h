#pragma once
// Names of history files as a collector and an archive write them:
// FOLDER/NAME-YYYYMMDD-HHMMSS.FDZ, the local time of the first record.
#include <string>

#include "core/datafile/time.h"

namespace kvr {

// FOLDER/NAME-YYYYMMDD-HHMMSS (local time of first), without the extension.
std::string HistoryBasePath(const std::string& folder, const std::string& name, Time first);
// base + extension, with "-2", "-3"... before the extension when that name is taken.
std::string UnusedPath(const std::string& base, const std::string& extension);
// The history file for records starting at first: FOLDER/NAME-YYYYMMDD-HHMMSS.FDZ (local
// time), with "-2", "-3"... added when that name is taken.
std::string HistoryFilePath(const std::string& folder, const std::string& name, Time first);

}  // namespace kvr
