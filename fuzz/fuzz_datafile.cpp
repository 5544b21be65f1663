// A data file from the fuzzer, opened and read through every accessor a view or a tool
// uses: header fields, channel texts and limits, values across and beyond the time range,
// value formats, hourly totals, tags, the value search and the configuration record. A file
// cut short opens read-only: every edit of it must be refused and leave its bytes alone.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/event_log.h"

namespace {

template <typename T>
void Use(const T& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

const std::string& InputPath() {
    static const std::string path = "/tmp/kvr-fuzz-datafile-" + std::to_string(::getpid()) + ".FDZ";
    return path;
}

bool WriteInput(const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(InputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool ok = ::write(fd, data, size) == static_cast<ssize_t>(size);
    ::close(fd);
    return ok;
}

// Times to read at: before, at and after both ends, and a spread between them.
template <typename Visit>
void EachTime(const kvr::CXFile& file, Visit visit) {
    const kvr::Time start = file.GetStartTime(), end = file.GetEndTime();
    for (kvr::Time t : {start - 1, start, start + 1, end - 1, end, end + 1}) visit(t);
    if (end > start) {
        const kvr::Time step = (end - start) / 16 + 1;
        for (int i = 0; i < 16; ++i) visit(start + step * i);
    }
}

void ReadEverything(kvr::CXFile& file) {
    Use(file.GetInterval()), Use(file.GetRecordCount()), Use(file.GetDeviceName());
    Use(file.GetWholeRecords()), Use(file.GetHourSpanEnd());
    // Export, statistics and the report walk the span: never more records than bytes.
    const kvr::Time spanEnd = file.GetSpanEndTime();
    if (spanEnd < file.GetStartTime() || spanEnd > file.GetEndTime() ||
        static_cast<std::uint64_t>((spanEnd - file.GetStartTime()) / file.GetInterval()) >
            file.MappedSize())
        __builtin_trap();
    Use(file.GetAddress()), Use(file.GetVersion()), Use(file.GetCapacity());
    const int channels = file.GetChannelCount();
    for (int c = -1; c <= channels && c <= 70; ++c) {
        Use(file.GetChannelName(c)), Use(file.GetChannelUnit(c)), Use(file.GetBaseTotal(c));
        Use(file.GetRangeLow(c)), Use(file.GetRangeHigh(c)), Use(file.GetAlarmLowLow(c));
        Use(file.GetAlarmLow(c)), Use(file.GetAlarmHigh(c)), Use(file.GetAlarmHighHigh(c));
        Use(file.GetHysteresis(c)), Use(file.GetValueFormat(c));
        EachTime(file, [&](kvr::Time t) {
            float value = 0, percent = 0;
            Use(file.GetValue(c, t, &value, &percent));
            double total = 0;
            Use(file.GetHourTotal(c, t, &total));
        });
    }
    for (int j = -1; j <= file.GetTagCount(); ++j) Use(file.GetTag(j));
    for (int channel = 0; channel <= 1; ++channel) {
        for (int direction = 0; direction <= 1; ++direction) {
            kvr::FindRequest request;
            request.target = 1.0f;
            request.tolerance = 0.5f;
            request.direction = direction;
            request.channel = channel;
            request.time = direction ? file.GetEndTime() : file.GetStartTime();
            file.FindValue(&request);
            Use(request.time);
        }
    }
    const kvr::ConfigRecord record(file);
    Use(record.DeviceName());
    Use(kvr::ReadPowerFailureLog(record).entries.size());
    Use(kvr::ReadAlarmLog(record).size());
    Use(kvr::ReadOperationLog(record).size());
}

// Every edit a view or a tool makes; a file cut short refuses each of them.
void EditDamaged(kvr::CXFile& file) {
    if (!file.IsDamaged()) return;
    if (!file.IsReadOnly() || file.EditRefusal() == nullptr) __builtin_trap();
    if (file.AddTag(file.GetStartTime()) != 0 || file.DeleteTag(0) != 0 || file.FlushHeader() != 0)
        __builtin_trap();
}

bool InputIs(const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(InputPath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string bytes(size + 1, '\0');
    const ssize_t got = ::read(fd, bytes.data(), bytes.size());
    ::close(fd);
    return got == static_cast<ssize_t>(size) && std::memcmp(bytes.data(), data, size) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!WriteInput(data, size)) return 0;
    kvr::CXFile file;
    if (file.Open(InputPath()) == 1) {
        ReadEverything(file);
        EditDamaged(file);
        const bool damaged = file.IsDamaged();
        file.Close();
        if (damaged && !InputIs(data, size)) __builtin_trap();
    }
    file.Close();
    return 0;
}
