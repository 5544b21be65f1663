#pragma once
// What every file-reading command of kvrtool shares: failing with one sentence, opening a
// data file, and reading a time option.
#include <optional>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"

namespace kvrtool {

// Prints "kvrtool: sentence" on stderr and sets the exit code.
void Fail(int code, const std::string& sentence);

// Opens a data file, or says why not and sets the exit code.
bool OpenDataFile(kvr::CXFile& file, const std::string& path);

// Parses "YYYY-MM-DD HH:MM:SS", or says what the option needs.
std::optional<kvr::Time> TimeOption(const std::string& text, const std::string& option);

}  // namespace kvrtool
