#pragma once
// The main frame's status-bar panes 1 to 5 describing a data file: device name, channel
// count, recording period, record interval and a length of time ("总时间").
#include "core/datafile/cxfile.h"

void ShowFileStatus(const kvr::CXFile& file, long long totalSeconds);
