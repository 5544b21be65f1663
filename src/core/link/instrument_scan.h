#pragma once
// The instrument scan of the upload dialog: identify the instrument (ASCII identification,
// falling back to the RTU-identified recorder when nothing answers) and learn the time
// range it holds.
#include <cstdint>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"
#include "core/link/cxlink.h"
#include "core/settings/com_param.h"

namespace kvr {

struct ScanResult {
    bool timeParameters = false;  // the scan succeeded
    bool rtuFamily = false;       // identified by the RTU path
    int family = -1;              // ASCII-identified family 0 or 1, -1 none
    int interval = 0;             // seconds
    Time newest = 0, oldest = 0;
    std::uint32_t recordCounter = 0;  // ring index of the newest record (ASCII families)
    int speed = 530;                  // bytes per second, for the remaining-time estimate
    Time pickerStart = 0, pickerEnd = 0;
    std::string identification;  // the ASCII answer; empty for the RTU path
    // The dialog's range line: "通讯失败！" unless the scan succeeded.
    std::string rangeText;
    // A message to show in a box, empty when the scan shows none.
    std::string message;
};

// Connects the link unless it is connected, then scans. Fills the file's interval and, for
// the ASCII families, its identification, capacity, sample size and address. A failed
// read disconnects the link.
ScanResult ScanInstrument(CXLink& link, const ComParam& param, CXFile& file);

}  // namespace kvr
