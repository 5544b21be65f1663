#pragma once
// The configuration record of a data file, every field by name, for people to read.
#include <ostream>

#include "core/datafile/cxfile.h"

namespace kvrtool {

void PrintConfiguration(const kvr::CXFile& file, std::ostream& out);

}  // namespace kvrtool
