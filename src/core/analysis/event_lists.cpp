#include "core/analysis/event_lists.h"

#include "core/analysis/config_text.h"
#include "core/datafile/event_log.h"
#include "core/datafile/lookup_tables.h"

namespace kvr {
namespace {

constexpr std::uint32_t kSecondsPerDay = 86400;
constexpr std::uint32_t kSecondsPerHour = 3600;
constexpr std::uint32_t kSecondsPerMinute = 60;

// Entries come oldest first; the list shows them newest first, the top row numbered 1.
template <typename Entry, typename MakeRow>
std::vector<std::vector<std::string>> NewestFirst(const std::vector<Entry>& entries,
                                                  MakeRow makeRow) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(entries.size());
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        std::vector<std::string> row = makeRow(*it);
        row.insert(row.begin(), std::to_string(rows.size() + 1));
        rows.push_back(std::move(row));
    }
    return rows;
}

EventTable AlarmTable(const ConfigRecord& record) {
    EventTable table;
    table.columns = {
        {"序号", 50}, {"通道", 75}, {"类型", 75}, {"报警时间", 140}, {"消报时间", 140}};
    table.rows = NewestFirst(ReadAlarmLog(record), [&](const AlarmEntry& e) {
        // A channel byte past the three inputs names no tag: the cell stays empty.
        return std::vector<std::string>{record.Input(e.channel).tagName, AlarmKindText(e.kind),
                                        StampText(e.raised.stamp),
                                        e.active ? "未消报..." : StampText(e.cleared.stamp)};
    });
    return table;
}

EventTable PowerFailureTable(const ConfigRecord& record) {
    EventTable table;
    table.columns = {{"序号", 50}, {"停电时间", 200}, {"上电时间", 210}};
    const PowerFailureLog log = ReadPowerFailureLog(record);
    table.rows = NewestFirst(log.entries, [](const PowerFailureEntry& e) {
        return std::vector<std::string>{StampText(e.powerOff.stamp), StampText(e.powerOn.stamp)};
    });
    if (log.valid) table.summary = OutageSummary(log.totalCount, log.totalSeconds);
    return table;
}

EventTable OperationTable(const ConfigRecord& record) {
    EventTable table;
    table.columns = {{"序号", 50}, {"类型", 200, ColumnAlign::kLeft}, {"时间", 210}};
    table.rows = NewestFirst(ReadOperationLog(record), [](const OperationEntry& e) {
        return std::vector<std::string>{e.text, StampText(e.stamp.stamp)};
    });
    return table;
}

}  // namespace

std::string OutageSummary(int totalCount, std::uint32_t totalSeconds) {
    const std::uint32_t days = totalSeconds / kSecondsPerDay;
    const std::uint32_t hours = totalSeconds % kSecondsPerDay / kSecondsPerHour;
    const std::uint32_t minutes = totalSeconds % kSecondsPerHour / kSecondsPerMinute;
    return FormatText("总次数:%d\t总时长:%u天%u时%u分", totalCount, days, hours, minutes);
}

EventTable BuildEventTable(const ConfigRecord& record, EventList list) {
    switch (list) {
        case EventList::kAlarm: return AlarmTable(record);
        case EventList::kPowerFailure: return PowerFailureTable(record);
        case EventList::kOperation: return OperationTable(record);
    }
    return {};
}

}  // namespace kvr
