#pragma once
// The CSV lines of "kvrtool values": shared with "kvrtool acquire", which prints each
// record as it is taken in exactly the same form.
#include <string>

#include "core/datafile/cxfile.h"

namespace kvrtool {

// "time,<name>(<unit>),..."
std::string ValuesHeaderLine(const kvr::CXFile& file);
// The moment t: its time, then each channel's value (or percent), "----" where none.
std::string ValuesRow(const kvr::CXFile& file, kvr::Time t, bool percent);

}  // namespace kvrtool
