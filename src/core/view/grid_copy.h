#pragma once
// The text the data list puts on the clipboard: a header line, then one line per record
// of the selected span, cells separated by TAB and lines ended by CR LF.
#include <string>

#include "core/datafile/cxfile.h"

namespace kvr {

// Every record from the earlier to the later of a and b, whatever the list's row step;
// every channel of the file, in use or not. UTF-8.
std::string BuildGridCopyText(const CXFile& file, Time a, Time b);

}  // namespace kvr
