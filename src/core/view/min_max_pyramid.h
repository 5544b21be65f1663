#pragma once
// MinMaxPyramid: the least and greatest sample of every channel over any run of records,
// so that a curve squeezed into a few hundred columns still shows a one-record spike.
//
// Level 0 holds the extremes of blocks of kLeafRecords records; each higher level pairs
// two entries of the level below. A query reads the raw samples of the ragged ends and
// O(log n) entries in between; Sync extends the levels record by record (the live buffer
// grows one record a tick) and rebuilds only when the file is a different one or shrank.
// Samples the file cannot give (missing records, non-linear signals, NaN) are skipped.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/datafile/time.h"

namespace kvr {

class CXFile;

struct SampleRange {
    float low = 0.0f;
    float high = 0.0f;
};

class MinMaxPyramid {
public:
    static constexpr int kLeafRecords = 4;

    // Brings the pyramid up to the file's present records.
    void Sync(const CXFile& file);
    void Clear();

    // Records the pyramid covers: record r lies at the file's start + r * interval.
    int RecordCount() const { return recordCount_; }
    // Least and greatest sample of channel c over records [first, last); nothing when the
    // range holds no sample. The range is cut to the records held.
    std::optional<SampleRange> Query(const CXFile& file, int c, int first, int last) const;

private:
    struct Extremes {
        float low;
        float high;
    };
    // One pyramid per channel, so that a sweep along one channel's columns reads memory in
    // order instead of striding over the other channels' entries.
    using Level = std::vector<Extremes>;
    using Pyramid = std::vector<Level>;  // level 0 first

    static int RecordsIn(const CXFile& file);
    static float Sample(const CXFile& file, int c, int record);
    void Append(const CXFile& file, int record);

    const CXFile* file_ = nullptr;
    std::string fileName_;
    Time start_ = 0;
    int interval_ = 0;
    int channels_ = 0;
    int recordCount_ = 0;
    std::vector<Pyramid> pyramids_;  // one per channel
};

}  // namespace kvr
