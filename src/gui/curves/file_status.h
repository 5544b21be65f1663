#pragma once
// The main frame's status-bar panes 1 to 5 describing a data file: device name, channel
// count, recording period, record interval and a length of time ("总时间").
#include <QString>

#include "core/datafile/cxfile.h"

// note follows the length of time in pane 5 (the realtime window's alarm count).
void ShowFileStatus(const kvr::CXFile& file, long long totalSeconds, const QString& note = {});
