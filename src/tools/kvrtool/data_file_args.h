#pragma once
// What every data-file command of kvrtool does the same way: open the file named on the
// command line, read time options, and report a failure as one sentence on stderr.
#include <optional>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"

namespace kvrtool {

// Prints "kvrtool: sentence" on stderr and sets the exit code.
void Fail(int code, const std::string& sentence);

// Opens a data file, or says why not and sets the exit code.
bool OpenDataFile(kvr::CXFile& file, const std::string& path);

// The time of an option as "YYYY-MM-DD HH:MM:SS", or a failure naming the option.
std::optional<kvr::Time> TimeOption(const std::string& text, const std::string& option);
// The same for an option that may be left out: then the time is `absent`.
std::optional<kvr::Time> TimeOption(const std::string& text, const std::string& option,
                                    kvr::Time absent);

}  // namespace kvrtool
