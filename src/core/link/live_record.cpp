#include "core/link/live_record.h"

namespace kvr {

void ResetLiveRecords(CXFile& file) {
    SegmentDescriptor& records = file.Header().records;
    records.first = records.last = 0;
    records.firstStamp = records.lastStamp = Stamp{};
    file.SetRecordCount(0);
    file.FlushHeader();
}

bool AppendLiveRecord(CXFile& file, const LiveSample& sample, int index, Time now) {
    const bool durable = file.AppendRecord(sample.values, static_cast<unsigned>(index));
    file.SetTotals(sample.flowTotal, sample.heatTotal);
    if (index == 0) file.SetStartTime(now);
    file.SetEndTime(0);
    return durable;
}

void FinishLiveRecords(CXFile& file, const LiveSample& sample) {
    file.SetEndTime(0);
    file.SetTotals(sample.flowTotal, sample.heatTotal);
}

}  // namespace kvr
