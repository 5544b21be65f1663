#pragma once
// The three event logs of the configuration record (power failures, alarms, operations),
// walked in ring order: the oldest entry first.
#include <cstdint>
#include <string>
#include <vector>

#include "core/datafile/config_record.h"
#include "core/datafile/lookup_tables.h"
#include "core/datafile/time.h"

namespace kvr {

struct LogStamp {
    Stamp stamp{};       // as stored, for showing the bytes the instrument wrote
    bool valid = false;  // IsValidStamp
    Time time = 0;       // 0 when not valid
};

struct PowerFailureEntry {
    int index = 0;  // ring slot 0..49
    LogStamp powerOff, powerOn;
};

struct AlarmEntry {
    int index = 0;
    LogStamp raised, cleared;
    int channel = 0;  // input channel 0..2 as stored
    int kindBits = 0;
    AlarmKind kind = AlarmKind::kNone;
    bool active = false;  // not cleared yet: the clear stamp means nothing
};

struct OperationEntry {
    int index = 0;
    LogStamp stamp;
    int code = 0;
    std::string text;  // "" for codes without a text
};

struct PowerFailureLog {
    bool valid = false;  // false when the header's count is above 50: nothing to show
    int totalCount = 0;  // power failures the instrument counted (not only those listed)
    std::uint32_t totalSeconds = 0;
    std::vector<PowerFailureEntry> entries;
};

// Ring slots of a log in time order. A count above 50 gives none; with a count of 50 the
// walk begins at the start index, otherwise at slot 0. Slots at or past storedEntries (the
// part of the ring the file keeps) are left out.
std::vector<int> LogSlots(int start, int count, int storedEntries = cfg::kLogCapacity);

PowerFailureLog ReadPowerFailureLog(const ConfigRecord& record);
std::vector<AlarmEntry> ReadAlarmLog(const ConfigRecord& record);
// Version 1002 files keep 30 operation entries, 1003 files 40.
std::vector<OperationEntry> ReadOperationLog(const ConfigRecord& record);

}  // namespace kvr
