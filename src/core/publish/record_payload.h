#pragma once
// The JSON texts of the publish topics: one record (live), a batch of records (hist) and an
// instrument's state, and the way back from text to records for an archive.
//
// Samples are written as the shortest decimal that reads back as the same float; a missing
// sample (NaN) is null. Totals are decimal strings with two places (hundredths of the total
// unit), so that 64-bit counts keep every digit in consumers that read numbers as doubles.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/time.h"

namespace kvr {

struct PublishedChannel {
    std::string name;
    std::string unit;
};

// What the state topic says about an instrument, and what an archive needs to write its
// files back: the identification, the format version and the configuration record.
struct InstrumentInfo {
    std::string instrument;  // the topic level
    std::string identification;
    std::string device;
    int address = 0;
    int interval = 0;  // seconds between records
    int version = 0;
    std::string flowTotalUnit;
    std::string heatTotalUnit;
    std::vector<PublishedChannel> channels;
    std::vector<std::uint8_t> config;
};

struct PublishedRecord {
    Time ts = 0;
    std::vector<float> values;   // one per channel; NaN: missing
    std::int64_t flowTotal = 0;  // hundredths of the flow total unit
    std::int64_t heatTotal = 0;  // hundredths of the heat total unit
};

// Record texts of one instrument. The parts that never change (channel names and units,
// escaped once) are prepared on construction, so a record costs only its numbers.
class RecordWriter {
public:
    explicit RecordWriter(const InstrumentInfo& info);
    // {"ts":..,"time":..,"channels":[{"name":..,"unit":..,"value":..}..],"totals":{..}}
    void AppendRecord(std::string& out, const PublishedRecord& record) const;
    std::string Live(const PublishedRecord& record) const;
    // {"instrument":..,"from_ts":..,"to_ts":..,"records":[..]}
    std::string Hist(const PublishedRecord* records, std::size_t count) const;

private:
    std::string instrumentJson_;
    std::vector<std::string> channelPrefixes_;  // {"name":..,"unit":..,"value":
    std::string flowUnitJson_, heatUnitJson_;
};

// The retained state: online, the identification, address, channels and the last record
// published (null when none yet).
std::string StatePayload(const InstrumentInfo& info, bool online, const PublishedRecord* last);

// Hundredths as a decimal string ("-12.05") and back; nullopt for anything else.
std::string HundredthsText(std::int64_t hundredths);
std::optional<std::int64_t> ParseHundredths(const std::string& text);

// Local time with its offset: 2026-01-05T08:00:00+08:00.
std::string IsoTime(Time t);

// The records of a live or hist text; nullopt with *error when it is not one.
std::optional<std::vector<PublishedRecord>> ParseRecords(const std::string& text,
                                                         std::string* error);
// The instrument of a state text and whether it says online; nullopt with *error.
struct ParsedState {
    InstrumentInfo info;
    bool online = false;
};
std::optional<ParsedState> ParseState(const std::string& text, std::string* error);

}  // namespace kvr
