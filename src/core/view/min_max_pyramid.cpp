#include "core/view/min_max_pyramid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/datafile/cxfile.h"

namespace kvr {

namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

// Widens (low, high) by v; a NaN side means "nothing yet", a NaN v adds nothing.
void Widen(float& low, float& high, float v) {
    if (std::isnan(v)) return;
    if (std::isnan(low) || v < low) low = v;
    if (std::isnan(high) || v > high) high = v;
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

float MinMaxPyramid::Sample(const CXFile& file, int c, int record) {
    float value = kNone;
    const Time t = file.GetStartTime() + static_cast<Time>(record) * file.GetInterval();
    if (file.GetValue(c, t, &value, nullptr) != 1) return kNone;
    return value;
}

void MinMaxPyramid::Clear() {
    file_ = nullptr;
    recordCount_ = 0;
    channels_ = 0;
    pyramids_.clear();
}

void MinMaxPyramid::Sync(const CXFile& file) {
    const int count = RecordsIn(file);
    const int channels = std::clamp(file.GetChannelCount(), 0, kMaxChannels);
    const bool same = file_ == &file && fileName_ == file.GetFileName() &&
                      start_ == file.GetStartTime() && interval_ == file.GetInterval() &&
                      channels_ == channels && count >= recordCount_;
    if (!same) {
        Clear();
        file_ = &file;
        fileName_ = file.GetFileName();
        start_ = file.GetStartTime();
        interval_ = file.GetInterval();
        channels_ = channels;
        pyramids_.assign(static_cast<std::size_t>(channels), {});
    }
    if (channels_ == 0) return;
    for (int r = recordCount_; r < count; ++r) Append(file, r);
    recordCount_ = std::max(recordCount_, count);
}

void MinMaxPyramid::Append(const CXFile& file, int record) {
    for (int c = 0; c < channels_; ++c) {
        Pyramid& levels = pyramids_[static_cast<std::size_t>(c)];
        std::size_t entry = static_cast<std::size_t>(record / kLeafRecords);
        // The record opens a new entry on every level where it is the first one covered.
        for (std::size_t k = 0;; ++k, entry /= 2) {
            if (k == levels.size()) {
                // A new top level starts from the pairs of the level below, which already
                // holds every record appended so far.
                Level top(levels.empty() ? 0 : (levels.back().size() + 1) / 2,
                          Extremes{kNone, kNone});
                if (!levels.empty()) {
                    const Level& below = levels.back();
                    for (std::size_t i = 0; i < below.size(); ++i) {
                        Widen(top[i / 2].low, top[i / 2].high, below[i].low);
                        Widen(top[i / 2].low, top[i / 2].high, below[i].high);
                    }
                }
                levels.push_back(std::move(top));
            }
            Level& level = levels[k];
            if (level.size() < entry + 1) level.resize(entry + 1, Extremes{kNone, kNone});
            if (entry == 0 && k + 1 >= levels.size()) break;
        }
        const float v = Sample(file, c, record);
        if (std::isnan(v)) continue;
        entry = static_cast<std::size_t>(record / kLeafRecords);
        for (Level& level : levels) {
            Widen(level[entry].low, level[entry].high, v);
            entry /= 2;
        }
    }
}

std::optional<SampleRange> MinMaxPyramid::Query(const CXFile& file, int c, int first,
                                                int last) const {
    if (c < 0 || c >= channels_) return std::nullopt;
    first = std::max(first, 0);
    last = std::min(last, recordCount_);
    float low = kNone, high = kNone;
    auto raw = [&](int from, int to) {
        for (int r = from; r < to; ++r) Widen(low, high, Sample(file, c, r));
    };
    // Whole leaf blocks inside the range; the ragged ends are read sample by sample.
    std::size_t lo = static_cast<std::size_t>((first + kLeafRecords - 1) / kLeafRecords);
    std::size_t hi = static_cast<std::size_t>(std::max(last, 0) / kLeafRecords);
    if (first >= last) return std::nullopt;
    if (lo >= hi) {
        raw(first, last);
    } else {
        raw(first, static_cast<int>(lo) * kLeafRecords);
        raw(static_cast<int>(hi) * kLeafRecords, last);
        const Pyramid& levels = pyramids_[static_cast<std::size_t>(c)];
        auto take = [&](const Level& level, std::size_t i) {
            Widen(low, high, level[i].low);
            Widen(low, high, level[i].high);
        };
        for (std::size_t k = 0; lo < hi && k < levels.size(); ++k, lo /= 2, hi /= 2) {
            if (lo & 1) take(levels[k], lo++);
            if (hi & 1) take(levels[k], --hi);
        }
    }
    if (std::isnan(low)) return std::nullopt;
    return SampleRange{low, high};
}

}  // namespace kvr
