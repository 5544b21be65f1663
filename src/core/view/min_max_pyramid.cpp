#include "core/view/min_max_pyramid.h"

#include <algorithm>
#include <limits>

#include "core/datafile/cxfile.h"

namespace kvr {

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
// Records of one channel read in one go: 4 KiB of samples, and the channels' reads of a
// chunk find its 24 KiB of records in the first-level cache.
constexpr int kChunkRecords = 1024;
// Records whose pages are given back at once, once read: a whole number of chunks.
constexpr int kReleaseRecords = 65536;
static_assert(kReleaseRecords % kChunkRecords == 0);
// The ragged ends of a query are read this many records at a time.
constexpr int kEndRecords = 256;

// Widens [low, high] by the samples; NaN compares false and is skipped.
void Fold(const float* samples, int count, float& low, float& high) {
    float lowest = low, highest = high;
    for (int i = 0; i < count; ++i) {
        const float v = samples[i];
        lowest = v < lowest ? v : lowest;
        highest = v > highest ? v : highest;
    }
    low = lowest;
    high = highest;
}

}  // namespace

int MinMaxPyramid::RecordsIn(const CXFile& file) {
    const auto& records = file.Header().records;
    const int interval = file.GetInterval();
    if (interval <= 0 || records.last < records.first) return 0;
    const Time span = (records.last - records.first) / interval + 1;
    const Time held = std::min<Time>(span, records.count);
    return static_cast<int>(std::min<Time>(held, std::numeric_limits<int>::max()));
}

void MinMaxPyramid::Clear() {
    file_ = nullptr;
    recordCount_ = 0;
    channels_ = 0;
    leafRecords_ = kLeafRecords;
    pyramids_.clear();
}

void MinMaxPyramid::Reset(const CXFile& file, int channels, int records) {
    Clear();
    file_ = &file;
    fileName_ = file.GetFileName();
    start_ = file.GetStartTime();
    interval_ = file.GetInterval();
    channels_ = channels;
    // A file opened whole gets its leaf size at once, so that no finer level is built.
    while (records > std::int64_t{leafRecords_} * maxLeaves_) leafRecords_ *= 2;
    pyramids_.assign(static_cast<std::size_t>(channels), {});
}

void MinMaxPyramid::Sync(const CXFile& file) {
    const int count = RecordsIn(file);
    const int channels = std::clamp(file.GetChannelCount(), 0, kMaxChannels);
    const bool same = file_ == &file && fileName_ == file.GetFileName() &&
                      start_ == file.GetStartTime() && interval_ == file.GetInterval() &&
                      channels_ == channels && count >= recordCount_;
    if (!same) Reset(file, channels, count);
    if (channels_ == 0 || count <= recordCount_) return;
    // A growing file outgrows its leaves: pairs of them become the new ones.
    while (count > std::int64_t{leafRecords_} * maxLeaves_) DropFinestLevel();
    const int from = recordCount_;
    ReadLeaves(file, from, count);
    recordCount_ = count;
    UpdateLevels(static_cast<std::size_t>(from / leafRecords_));
}

void MinMaxPyramid::DropFinestLevel() {
    // Level 1 already holds the extremes of every pair of leaves; a pyramid of one leaf is
    // its own coarser leaf.
    for (Pyramid& levels : pyramids_)
        if (levels.size() > 1) levels.erase(levels.begin());
    leafRecords_ *= 2;
}

void MinMaxPyramid::ReadLeaves(const CXFile& file, int from, int to) {
    const std::size_t leaves =
        static_cast<std::size_t>((std::int64_t{to} + leafRecords_ - 1) / leafRecords_);
    for (Pyramid& levels : pyramids_) {
        if (levels.empty()) levels.emplace_back();
        levels[0].resize(leaves, Extremes{kInfinity, -kInfinity});
    }
    chunk_.resize(static_cast<std::size_t>(std::min(kChunkRecords, to - from)));
    // Chunks end on multiples of kChunkRecords, so that they also end where release
    // blocks do.
    for (int first = from, count = 0; first < to; first += count) {
        count = std::min(kChunkRecords - first % kChunkRecords, to - first);
        for (int c = 0; c < channels_; ++c) {
            file.ReadChannel(c, first, count, chunk_.data());
            Level& leaf = pyramids_[static_cast<std::size_t>(c)][0];
            // The chunk split where its leaves end.
            for (int r = first; r < first + count;) {
                const int end = static_cast<int>(std::min<std::int64_t>(
                    (std::int64_t{r} / leafRecords_ + 1) * leafRecords_, first + count));
                Extremes& e = leaf[static_cast<std::size_t>(r / leafRecords_)];
                Fold(chunk_.data() + (r - first), end - r, e.low, e.high);
                r = end;
            }
        }
        // A long file is read once here and its curves are drawn from the levels: its
        // records need not stay in memory (whole blocks only, so that the record a live
        // buffer appends next stays mapped).
        if ((first + count) % kReleaseRecords == 0)
            file.ReleaseRecords(first + count - kReleaseRecords, kReleaseRecords);
    }
}

void MinMaxPyramid::UpdateLevels(std::size_t firstLeaf) {
    // Only the entries above leaves from firstLeaf on changed: on every level that is a
    // run to the level's end.
    for (Pyramid& levels : pyramids_) {
        std::size_t changed = firstLeaf;
        for (std::size_t k = 1; levels[k - 1].size() > 1; ++k) {
            if (levels.size() == k) levels.emplace_back();
            const Level& below = levels[k - 1];
            Level& level = levels[k];
            level.resize((below.size() + 1) / 2, Extremes{kInfinity, -kInfinity});
            changed /= 2;
            for (std::size_t i = changed; i < level.size(); ++i) {
                Extremes e = below[2 * i];
                if (2 * i + 1 < below.size()) {
                    e.low = std::min(e.low, below[2 * i + 1].low);
                    e.high = std::max(e.high, below[2 * i + 1].high);
                }
                level[i] = e;
            }
        }
    }
}

std::optional<SampleRange> MinMaxPyramid::Query(const CXFile& file, int c, int first,
                                                int last) const {
    if (c < 0 || c >= channels_) return std::nullopt;
    first = std::max(first, 0);
    last = std::min(last, recordCount_);
    if (first >= last) return std::nullopt;
    float low = kInfinity, high = -kInfinity;
    auto raw = [&](int from, int to) {
        float samples[kEndRecords];
        for (int r = from; r < to; r += kEndRecords) {
            const int count = std::min(kEndRecords, to - r);
            file.ReadChannel(c, r, count, samples);
            Fold(samples, count, low, high);
        }
    };
    // Whole leaves inside the range; the ragged ends are read from the file.
    std::size_t lo =
        static_cast<std::size_t>((std::int64_t{first} + leafRecords_ - 1) / leafRecords_);
    std::size_t hi = static_cast<std::size_t>(last / leafRecords_);
    if (lo >= hi) {
        raw(first, last);
    } else {
        raw(first, static_cast<int>(lo) * leafRecords_);
        raw(static_cast<int>(hi) * leafRecords_, last);
        const Pyramid& levels = pyramids_[static_cast<std::size_t>(c)];
        auto take = [&](const Level& level, std::size_t i) {
            low = std::min(low, level[i].low);
            high = std::max(high, level[i].high);
        };
        for (std::size_t k = 0; lo < hi && k < levels.size(); ++k, lo /= 2, hi /= 2) {
            if (lo & 1) take(levels[k], lo++);
            if (hi & 1) take(levels[k], --hi);
        }
    }
    if (low > high) return std::nullopt;
    return SampleRange{low, high};
}

}  // namespace kvr
