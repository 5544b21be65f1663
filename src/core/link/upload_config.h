#pragma once
// Reading an instrument's configuration into a new upload file, for the two upload
// families. Each read stops at the first failed request.
#include <cstdint>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"
#include "core/link/cxlink.h"
#include "core/link/link_progress.h"
#include "core/settings/view_def.h"

namespace kvr {

enum ConfigReadResult { kConfigCreateFailed = -1, kConfigReadFailed = 0, kConfigRead = 1 };

struct AsciiUploadRange {
    int family = 0;                   // 0 or 1: selects the memory map
    Time start = 0, end = 0;          // on the record grid
    Time newest = 0;                  // from the scan
    std::uint32_t recordCounter = 0;  // in: newest record's ring index; out: end's
};

// Creates the file at path and fills it from an ASCII-identified instrument. The scan has
// already stored identification, interval, address and sample size in the file.
ConfigReadResult ReadAsciiUploadConfig(CXLink& link, CXFile& file, const std::string& path,
                                       AsciiUploadRange& range, const ViewDef& view,
                                       LinkProgress* progress);

struct RtuUploadRange {
    Time start = 0, end = 0;  // the range to upload (oldest and newest when all of it)
};

// Creates the file at path and fills it from the RTU-identified recorder.
ConfigReadResult ReadRtuUploadConfig(CXLink& link, CXFile& file, const std::string& path,
                                     const RtuUploadRange& range, const ViewDef& view,
                                     LinkProgress* progress);

// The time of the last record of a range read from start every interval seconds.
Time LastRecordTime(Time start, Time end, int interval);

}  // namespace kvr
