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
    // Returns how many of records were there already. A record of a time this archive has
    // saved already is one of them and is not kept again (a publisher sends its last
    // seconds again after a lost connection, and saves come every hour or so).
    std::size_t Add(const std::vector<PublishedRecord>& records);
    std::size_t Pending() const { return records_.size(); }

    // Writes every record kept into folder and forgets those written. An existing file is
    // replaced only with force; otherwise the new one is named "-2", "-3"...
    ArchiveSaveResult Save(const std::string& folder, const std::string& instrument, bool force);

private:
    std::string WriteRun(const std::vector<const PublishedRecord*>& run, int interval,
                         const std::string& path);
    // Runs written by Save, neighbours joined: first, first + interval, ... last.
    struct SavedRun {
        Time first = 0, last = 0;
        int interval = 1;
    };
    bool WasSaved(Time ts) const;

    std::optional<InstrumentInfo> info_;
    std::map<Time, PublishedRecord> records_;
    std::vector<SavedRun> saved_;
};

}  // namespace kvr
