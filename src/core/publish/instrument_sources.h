#pragma once
// The data files of one instrument, open for reading, and its records across them: in time
// order, each time once (a collector's live buffer and the history file saved from it hold
// the same records for a while).
//
// Saved files are reopened when they change; live buffers are reopened on every refresh,
// since the writer moves their end while we read.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/publish/record_payload.h"

namespace kvr {

struct RecordSpan {
    Time first = 0;
    Time last = 0;
};

class InstrumentSources {
public:
    explicit InstrumentSources(std::string instrument);
    ~InstrumentSources();
    InstrumentSources(const InstrumentSources&) = delete;
    InstrumentSources& operator=(const InstrumentSources&) = delete;

    // Brings the open files in line with paths. Returns the spans of saved files that were
    // not there at the previous refresh (none at the first).
    std::vector<RecordSpan> Refresh(const std::vector<std::string>& paths);

    // Up to max records with after < ts <= upto, in time order, each time once.
    std::vector<PublishedRecord> Read(Time after, Time upto, std::size_t max) const;
    // The records each open file holds.
    std::vector<RecordSpan> Spans() const;
    // The time of the newest record of any file.
    std::optional<Time> Newest() const;
    // Identification, channels and configuration from the file with the newest record.
    std::optional<InstrumentInfo> Info() const;

private:
    struct Source;
    // Opens or follows the source's file; false when it cannot be read (gone, damaged).
    bool Reopen(Source& source) const;
    // The records the source's file holds now.
    static void CountRecords(Source& source);
    std::string instrument_;
    std::vector<std::unique_ptr<Source>> sources_;
    bool refreshed_ = false;
};

// What the state topic says about the instrument of an open file.
InstrumentInfo DescribeInstrument(const CXFile& file, const std::string& instrument);

}  // namespace kvr
