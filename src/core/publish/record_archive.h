#pragma once
// RecordArchive: what a subscriber received for one instrument, kept by record time (each
// time once, however often it arrived) until it is saved as history files that KVR opens
// like any other: FOLDER/INSTRUMENT-YYYYMMDD-HHMMSS.FDZ (the first record's local time),
// one file per unbroken run of records one interval apart.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/publish/record_payload.h"

namespace kvr {

struct ArchiveSaveResult {
    std::vector<std::string> files;  // written
    std::string error;               // why the rest was not; those records are kept
};

class RecordArchive {
public:
    // The instrument's description from its state; without one, files get a plain header.
    void SetInfo(const InstrumentInfo& info) { info_ = info; }
    // Returns how many of records were there already. A record of a time filed already is
    // one of them and is not kept again (a publisher sends its last seconds again after a
    // lost connection, or from its cursor after a restart; saves come every hour or so).
    std::size_t Add(const std::vector<PublishedRecord>& records);
    // Takes the records of the instrument's history files in folder, written by an earlier
    // run, as filed.
    void LearnFiled(const std::string& folder, const std::string& instrument);
    std::size_t Pending() const { return records_.size(); }

    // Writes every record kept into folder and forgets those written. An existing file is
    // replaced only with force; otherwise the new one is named "-2", "-3"...
    ArchiveSaveResult Save(const std::string& folder, const std::string& instrument, bool force);

private:
    std::string WriteRun(const std::vector<const PublishedRecord*>& run, int interval,
                         const std::string& path);
    // Runs of record times in files: first, first + interval, ... last.
    struct FiledRun {
        Time last = 0;
        int interval = 1;
    };
    void NoteFiled(Time first, Time last, int interval);
    bool WasFiled(Time ts) const;

    std::optional<InstrumentInfo> info_;
    std::map<Time, PublishedRecord> records_;
    std::map<Time, FiledRun> filed_;  // by first time; a run that continues one is joined
};

}  // namespace kvr
