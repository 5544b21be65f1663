#include "core/datafile/event_log.h"

namespace kvr {
namespace {

struct LogHeader {
    int start = 0;
    int count = 0;
};

LogHeader ReadHeader(const ConfigRecord& record, std::size_t logOffset) {
    return {record.Word(logOffset), record.Word(logOffset + 2)};
}

LogStamp ReadLogStamp(const ConfigRecord& record, std::size_t offset) {
    LogStamp result;
    for (std::size_t i = 0; i < result.stamp.size(); ++i) result.stamp[i] = record.Byte(offset + i);
    result.valid = IsValidStamp(result.stamp.data());
    if (result.valid) result.time = StampToTime(result.stamp);
    return result;
}

std::size_t EntryOffset(std::size_t entries, int slot) {
    return entries + cfg::kLogEntrySize * static_cast<std::size_t>(slot);
}

}  // namespace

std::vector<int> LogSlots(int start, int count, int storedEntries) {
    std::vector<int> slots;
    if (count < 0 || count > cfg::kLogCapacity) return slots;
    // A damaged start index must still name a slot of this ring, never a neighbour's.
    int first = 0;
    if (count == cfg::kLogCapacity) first = ((start % count) + count) % count;
    for (int i = 0; i < count; ++i) {
        const int slot = (first + i) % cfg::kLogCapacity;
        if (slot < storedEntries) slots.push_back(slot);
    }
    return slots;
}

PowerFailureLog ReadPowerFailureLog(const ConfigRecord& record) {
    PowerFailureLog log;
    const LogHeader header = ReadHeader(record, cfg::kPowerLog);
    if (header.count > cfg::kLogCapacity) return log;
    log.valid = true;
    log.totalCount = record.SignedWord(cfg::kPowerLogTotalCount);
    log.totalSeconds = record.DoubleWord(cfg::kPowerLogTotalSeconds);
    for (int slot : LogSlots(header.start, header.count)) {
        const std::size_t offset = EntryOffset(cfg::kPowerLogEntries, slot);
        log.entries.push_back(
            {slot, ReadLogStamp(record, offset), ReadLogStamp(record, offset + 6)});
    }
    return log;
}

std::vector<AlarmEntry> ReadAlarmLog(const ConfigRecord& record) {
    std::vector<AlarmEntry> entries;
    const LogHeader header = ReadHeader(record, cfg::kAlarmLog);
    for (int slot : LogSlots(header.start, header.count)) {
        const std::size_t offset = EntryOffset(cfg::kAlarmLogEntries, slot);
        AlarmEntry entry;
        entry.index = slot;
        entry.raised = ReadLogStamp(record, offset);
        entry.cleared = ReadLogStamp(record, offset + 6);
        entry.channel = record.Byte(offset + 12);
        entry.kindBits = record.Byte(offset + 13);
        entry.kind = AlarmKindFromBits(entry.kindBits);
        entry.active = record.Byte(offset + 14) != 0;
        entries.push_back(entry);
    }
    return entries;
}

std::vector<OperationEntry> ReadOperationLog(const ConfigRecord& record) {
    std::vector<OperationEntry> entries;
    const LogHeader header = ReadHeader(record, cfg::kOperationLog);
    const int stored = cfg::StoredOperationEntries(record.Version());
    for (int slot : LogSlots(header.start, header.count, stored)) {
        const std::size_t offset = EntryOffset(cfg::kOperationLogEntries, slot);
        OperationEntry entry;
        entry.index = slot;
        entry.stamp = ReadLogStamp(record, offset);
        entry.code = record.Word(offset + 6);
        entry.text = OperationText(entry.code);
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace kvr
