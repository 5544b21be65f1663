#pragma once
// The record step of an acquisition, shared by the realtime window's engine and the
// collector: how a live buffer starts empty, takes one record, and is finished.
#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"
#include "core/link/live_values.h"

namespace kvr {

// Empties the record segment of a live buffer (freshly created, or just saved to start the
// next file in it). The start stamp stays empty until the first record is stored, so a
// buffer left by a crash before it shows no records rather than one of zeros.
void ResetLiveRecords(CXFile& file);
// Stores sample as record index; the first record's time now becomes the start time. The
// end stamp is written after the record it counts, so a buffer cut off at any moment
// describes only records that are completely on disk. False when the record did not reach
// the disk.
bool AppendLiveRecord(CXFile& file, const LiveSample& sample, int index, Time now);
// The last totals and the end time, once no further record comes.
void FinishLiveRecords(CXFile& file, const LiveSample& sample);

}  // namespace kvr
