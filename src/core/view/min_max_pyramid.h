#pragma once
// MinMaxPyramid: the least and greatest sample of every channel over any run of records,
// so that a curve squeezed into a few hundred columns still shows a one-record spike.
//
// Level 0 holds the extremes of blocks of LeafRecords() records; each higher level pairs
// two entries of the level below. A query reads the raw samples of the ragged ends in bulk
// and O(log n) entries in between. Sync reads the file a channel at a time in chunks
// (CXFile::ReadChannel), extends the levels as records arrive (the live buffer grows one
// record a tick) and rebuilds only when the file is a different one or shrank.
// Samples the file cannot give (missing records, non-linear signals, NaN) are skipped.
//
// Memory is bounded whatever the file holds: a leaf covers 4 records, or as many more
// (doubling) as keep the leaves of a channel within the bound. A curve of a long file
// drawn whole asks for blocks of hundreds of records and never reads the finer levels; a
// zoomed-in view reads the few records at the ends of its columns from the file instead.
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
    static constexpr int kLeafRecords = 4;    // the finest leaf
    static constexpr int kMaxLeaves = 65536;  // per channel: 512 KiB of leaves

    // maxLeaves below the default only to exercise the coarser leaves on small files.
    explicit MinMaxPyramid(int maxLeaves = kMaxLeaves) : maxLeaves_(maxLeaves) {}

    // Brings the pyramid up to the file's present records.
    void Sync(const CXFile& file);
    void Clear();

    // Records the pyramid covers: record r lies at the file's start + r * interval.
    int RecordCount() const { return recordCount_; }
    // Records a level-0 entry covers: kLeafRecords times a power of two.
    int LeafRecords() const { return leafRecords_; }
    // Least and greatest sample of channel c over records [first, last); nothing when the
    // range holds no sample. The range is cut to the records held.
    std::optional<SampleRange> Query(const CXFile& file, int c, int first, int last) const;

private:
    // No sample yet is {+inf, -inf}: the plain comparisons then need no test for it, and
    // NaN samples fail every comparison and so are skipped.
    struct Extremes {
        float low;
        float high;
    };
    // One pyramid per channel, so that a sweep along one channel's columns reads memory in
    // order instead of striding over the other channels' entries.
    using Level = std::vector<Extremes>;
    using Pyramid = std::vector<Level>;  // level 0 first

    static int RecordsIn(const CXFile& file);
    void Reset(const CXFile& file, int channels, int records);
    void DropFinestLevel();
    void ReadLeaves(const CXFile& file, int from, int to);
    void UpdateLevels(std::size_t firstLeaf);

    int maxLeaves_;
    const CXFile* file_ = nullptr;
    std::string fileName_;
    Time start_ = 0;
    int interval_ = 0;
    int channels_ = 0;
    int recordCount_ = 0;
    int leafRecords_ = kLeafRecords;
    std::vector<Pyramid> pyramids_;  // one per channel
    std::vector<float> chunk_;       // Sync's read buffer, kept between calls
};

}  // namespace kvr
