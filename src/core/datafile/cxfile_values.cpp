// CXFile: reading samples, hourly totals and tags, and editing the tag list.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/datafile/channels.h"
#include "core/datafile/cxfile.h"
#include "core/sys/sys_io.h"

namespace kvr {

std::uint64_t CXFile::RecordAreaOffset() const {
    return kHeaderSize + static_cast<std::uint64_t>(configSize_);
}

std::uint64_t CXFile::HourlyOffset() const {
    return RecordAreaOffset() + RecordSize() * header_.records.count;
}

std::uint64_t CXFile::TagOffset(int j) const {
    return HourlyOffset() + 8ull * header_.hourly.count + 4ull * static_cast<unsigned>(j);
}

std::uint64_t CXFile::RecordSize() const {
    return static_cast<std::uint64_t>(header_.channelCount) * header_.records.byte18;
}

std::uint64_t CXFile::EntriesInFile(std::uint64_t offset, std::uint64_t entrySize,
                                    std::uint64_t count, bool partly) const {
    if (!view_ || entrySize == 0 || offset >= viewSize_) return 0;
    const std::uint64_t bytes = viewSize_ - offset;
    const std::uint64_t entries = partly ? (bytes + entrySize - 1) / entrySize : bytes / entrySize;
    return entries < count ? entries : count;
}

// The last moment that belongs to a stored record: within the recording, the capacity and
// the mapped bytes. Before the start when nothing is stored.
Time CXFile::LastStoredTime() const {
    const std::uint64_t stored =
        EntriesInFile(RecordAreaOffset(), RecordSize(), header_.records.count, false);
    if (header_.interval <= 0 || stored == 0) return header_.records.first - 1;
    const Time lastRecordEnd =
        header_.records.first + static_cast<Time>(stored) * header_.interval - 1;
    return lastRecordEnd < header_.records.last ? lastRecordEnd : header_.records.last;
}

namespace {

// The end of a segment's span: its stamped end, or the last of the entries held.
Time HeldEnd(const SegmentDescriptor& segment, std::uint64_t held, Time step) {
    const Time lastHeld = segment.first + static_cast<Time>(held > 0 ? held - 1 : 0) * step;
    return segment.last < lastHeld ? segment.last : lastHeld;
}

}  // namespace

Time CXFile::GetSpanEndTime() const {
    const std::uint64_t held =
        EntriesInFile(RecordAreaOffset(), RecordSize(), header_.records.count, true);
    return HeldEnd(header_.records, held, header_.interval);
}

Time CXFile::GetHourSpanEnd() const {
    return HeldEnd(header_.hourly, EntriesInFile(HourlyOffset(), 8, header_.hourly.count, true),
                   3600);
}

int CXFile::GetWholeRecords() const {
    const std::uint64_t whole =
        EntriesInFile(RecordAreaOffset(), RecordSize(), header_.records.count, false);
    const int recorded = GetRecordCount();
    return recorded < 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(whole, recorded));
}

void CXFile::RefreshAccess() {
    access_ = Access{};
    const Time last = LastStoredTime();
    if (!view_ || header_.records.byte18 != 4 || last < header_.records.first ||
        header_.channelCount > kMaxChannels)
        return;
    const std::uint64_t span = static_cast<std::uint64_t>(last - header_.records.first);
    access_.samples = view_ + RecordAreaOffset();
    access_.storedElapsed = span > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(span);
    access_.interval = static_cast<std::uint32_t>(header_.interval);
    access_.reciprocal = access_.interval == 1 ? 0 : UINT64_MAX / access_.interval + 1;
    access_.channels = header_.channelCount;
}

void CXFile::StorePercent(int c, float sample, float* percent) const {
    const float low = GetRangeLow(c);
    const float high = GetRangeHigh(c);
    float clamped = sample;
    if (clamped < low) clamped = low;
    if (clamped > high) clamped = high;
    // An empty range has no meaningful percent; 0 keeps curves and lists drawable.
    *percent = high > low ? (clamped - low) / (high - low) * 100.0f : 0.0f;
}

CXFile::FoundSample CXFile::FindSample(int c, Time t) const {
    if (!view_) return {1, false};
    if (!IsChannel(c)) return {};
    const Time start = header_.records.first;
    if (t < start || t > header_.records.last || header_.interval <= 0) return {};
    const std::uint64_t record =
        static_cast<std::uint64_t>(t - start) / static_cast<std::uint64_t>(header_.interval);
    // A record beyond the capacity has no sample (the stored end disagrees with K).
    if (record >= header_.records.count) return {};
    const std::uint64_t sampleSize = header_.records.byte18;
    // A record cut short by the end of the file is missing as a whole.
    if (RecordAreaOffset() + (record + 1) * RecordSize() > viewSize_ || sampleSize > 4) return {};
    const std::uint64_t offset =
        RecordAreaOffset() + record * RecordSize() + static_cast<unsigned>(c) * sampleSize;
    const std::uint8_t type = header_.channels[c].signalType;
    if (!IsLinearSignal(type)) return {1, false};
    std::uint8_t bytes[4] = {};
    std::memcpy(bytes, view_ + offset, sampleSize);
    FoundSample found{1, true};
    std::memcpy(&found.sample, bytes, 4);
    return found;
}

int CXFile::GetValueChecked(int c, Time t, float* value, float* percent) const {
    const FoundSample found = FindSample(c, t);
    if (found.found) {
        if (value) *value = found.sample;
        if (percent) StorePercent(c, found.sample, percent);
    }
    return found.answer;
}

void CXFile::ReadChannel(int c, std::int64_t firstRecord, int count, float* out, int stride) const {
    if (count <= 0) return;
    // The entries outside the stored run [from, to) are NaN; only they are filled.
    const float missing = std::numeric_limits<float>::quiet_NaN();
    std::int64_t from = 0, to = 0;
    const auto fillOutside = [&] {
        std::fill(out, out + from, missing);
        std::fill(out + to, out + count, missing);
    };
    const std::uint64_t sampleSize = header_.records.byte18;
    if (!view_ || !IsChannel(c) || header_.interval <= 0 || sampleSize > 4 || stride < 1)
        return fillOutside();
    const std::uint8_t type = header_.channels[c].signalType;
    if (!IsLinearSignal(type) || header_.records.last < header_.records.first) return fillOutside();
    // The records GetValue answers for: up to the end time, the capacity and the last one
    // wholly in the mapping.
    const std::uint64_t byTime =
        static_cast<std::uint64_t>(header_.records.last - header_.records.first) /
            static_cast<std::uint64_t>(header_.interval) +
        1;
    const std::uint64_t held =
        EntriesInFile(RecordAreaOffset(), RecordSize(), header_.records.count, false);
    const std::int64_t end = static_cast<std::int64_t>(std::min(byTime, held));
    // The entries of out whose records lie in [0, end); a run wholly before the file is
    // refused first, so that the negation below cannot overflow.
    const std::int64_t lastRecord = firstRecord + std::int64_t{count - 1} * stride;
    if (lastRecord < 0 || firstRecord >= end) return fillOutside();
    from = firstRecord >= 0 ? 0 : (-firstRecord + stride - 1) / stride;
    to = std::max(from, std::min<std::int64_t>(count, (end - firstRecord + stride - 1) / stride));
    fillOutside();
    if (from == to) return;
    const std::uint64_t recordSize = RecordSize();
    const std::uint64_t step = recordSize * static_cast<std::uint64_t>(stride);
    const std::uint8_t* sample =
        view_ + RecordAreaOffset() +
        static_cast<std::uint64_t>(firstRecord + from * stride) * recordSize +
        static_cast<unsigned>(c) * sampleSize;
    float* target = out + from;
    const std::int64_t samples = to - from;
    if (sampleSize == 4) {
        // Four samples gathered and stored at once: the compiler makes that one vector
        // store, which halves the copy's cost against one store a sample.
        std::int64_t i = 0;
        for (; i + 4 <= samples; i += 4, sample += 4 * step) {
            float four[4];
            std::memcpy(&four[0], sample, 4);
            std::memcpy(&four[1], sample + step, 4);
            std::memcpy(&four[2], sample + 2 * step, 4);
            std::memcpy(&four[3], sample + 3 * step, 4);
            std::memcpy(target + i, four, sizeof four);
        }
        for (; i < samples; ++i, sample += step) std::memcpy(target + i, sample, 4);
        return;
    }
    for (std::int64_t i = 0; i < samples; ++i, sample += step) {
        std::uint8_t bytes[4] = {};
        std::memcpy(bytes, sample, sampleSize);
        std::memcpy(target + i, bytes, 4);
    }
}

void CXFile::ReadValues(int c, Time first, Time step, int count, float* values,
                        std::uint8_t* answered) const {
    if (count <= 0) return;
    const Time interval = header_.interval;
    const bool onRecords = interval > 0 && step > 0 && step % interval == 0 &&
                           step / interval <= std::numeric_limits<int>::max() &&
                           first >= header_.records.first;
    if (onRecords)
        ReadChannel(c, (first - header_.records.first) / interval, count, values,
                    static_cast<int>(step / interval));
    else
        std::fill(values, values + count, std::numeric_limits<float>::quiet_NaN());
    for (int i = 0; i < count; ++i) {
        const Time t = first + static_cast<Time>(i) * step;
        if (!std::isnan(values[i]) && t <= header_.records.last) {
            answered[i] = 1;
            continue;
        }
        float value = 0.0f;
        answered[i] = GetValue(c, t, &value, nullptr) != 0 ? 1 : 0;
        values[i] = value;
    }
}

void CXFile::ReleaseRecords(std::int64_t firstRecord, std::int64_t count) const {
    // A private mapping could hold changes that exist only in memory.
    if (!view_ || readOnly_ || firstRecord < 0 || count <= 0) return;
    const std::uint64_t recordSize = RecordSize();
    const std::uint64_t offset =
        RecordAreaOffset() + static_cast<std::uint64_t>(firstRecord) * recordSize;
    if (offset >= viewSize_) return;
    sysio::ReleaseMappedRange(
        view_, viewSize_, static_cast<std::size_t>(offset),
        static_cast<std::size_t>(std::min<std::uint64_t>(
            static_cast<std::uint64_t>(count) * recordSize, viewSize_ - offset)));
}

std::string CXFile::GetValueFormat(int c) const {
    if (!IsChannel(c)) return {};
    // Decimals come from the file; more than 9 is never meaningful and only bloats text.
    auto fixed = [](int decimals) {
        if (decimals > 9) decimals = 9;
        char format[16];
        std::snprintf(format, sizeof format, "%%.%df", decimals);
        return std::string(format);
    };
    const ChannelDescriptor& d = header_.channels[c];
    if (IsLinearSignal(d.signalType)) return fixed(c <= 2 ? d.rangeLow.decimals : 2);
    if (header_.scientific == 1) return "%.1E";
    const auto integerPart = static_cast<std::int16_t>(static_cast<int>(GetRangeLow(c)));
    return integerPart < -2 ? fixed(-integerPart) : fixed(2);
}

int CXFile::GetValueFormat(int c, char* format) const {
    if (!IsChannel(c)) return 0;
    const std::string text = GetValueFormat(c);
    std::memcpy(format, text.c_str(), text.size() + 1);
    return 1;
}

void CXFile::FindValue(FindRequest* request) const {
    const Time step = header_.interval > 0 ? header_.interval : 1;
    const bool forward = request->direction == 0;
    // Moments past the last stored record have no value to match: a hostile end time far
    // beyond the capacity must not turn the search into a walk through decades.
    const Time last = LastStoredTime();
    Time t = request->time;
    if (!forward && t > last) t -= (t - last + step - 1) / step * step;
    auto matches = [&](int c) {
        float value = 0;
        if (GetValue(c, t, &value, nullptr) != 1) return false;
        return value - request->tolerance <= request->target &&
               request->target <= value + request->tolerance;
    };
    for (; header_.records.first <= t && t <= last; t += forward ? step : -step) {
        bool found = false;
        if (request->channel >= 1) {
            found = matches(request->channel - 1);
        } else {
            for (int c = 0; c < header_.channelCount && !found; ++c) found = matches(c);
        }
        if (found) {
            request->time = t;
            return;
        }
    }
    request->time = 0;
}

int CXFile::GetHourTotal(int, Time t, double* total, int) const {
    if (!view_) return 1;
    if (t < header_.hourly.first || t > header_.hourly.last) return 0;
    const std::uint64_t hour = static_cast<std::uint64_t>((t - header_.hourly.first) / 3600);
    if (hour >= header_.hourly.count) return 0;
    const std::uint64_t offset = HourlyOffset() + 8 * hour;
    if (offset + 8 > viewSize_) return 0;
    std::int64_t stored = 0;
    std::memcpy(&stored, view_ + offset, 8);
    if (stored < 0 || stored > (std::int64_t{1} << 56)) stored = 0;
    if (total) *total = static_cast<double>(stored);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Tags

Time CXFile::GetTag(int j) const {
    if (!view_ || j < 0 || j >= header_.tagCount) return 0;
    const std::uint64_t offset = TagOffset(j);
    if (offset + 4 > viewSize_) return 0;
    std::uint32_t stored = 0;
    std::memcpy(&stored, view_ + offset, 4);
    return static_cast<Time>(static_cast<std::int32_t>(stored));
}

int CXFile::AddTag(Time t) {
    if (!view_ || fd_ < 0 || readOnly_ || temp_) return 0;
    if (t < header_.records.first || t > header_.records.last) return 0;
    if (header_.tagCount >= kMaxTags) return 0;
    // The new tag goes right after the existing ones; a file whose hourly table or tags are
    // missing must not be grown to where its description says they end.
    const std::uint64_t at = TagOffset(header_.tagCount);
    if (at > viewSize_) return 0;
    const std::size_t oldSize = viewSize_;
    const auto stored = static_cast<std::uint32_t>(static_cast<std::int32_t>(t));
    const auto count = static_cast<std::uint8_t>(header_.tagCount + 1);
    // The tag first, the count that makes it visible last; whatever fails on the way is
    // undone, so that the answer always describes the file.
    const bool written = sysio::WriteAllAt(fd_, &stored, 4, at) && sysio::Fdatasync(fd_) &&
                         Remap() &&
                         sysio::WriteAllAt(fd_, &count, 1, kBlockAOffset + blockA::kTagCount) &&
                         sysio::Fdatasync(fd_);
    if (!written) {
        const std::uint8_t previous = header_.tagCount;
        (void)sysio::WriteAllAt(fd_, &previous, 1, kBlockAOffset + blockA::kTagCount);
        if (at + 4 > oldSize) (void)sysio::Truncate(fd_, oldSize);
        (void)sysio::Fdatasync(fd_);
        (void)Remap();
        return 0;
    }
    header_.tagCount = count;
    return 1;
}

int CXFile::DeleteTag(int j) {
    if (!view_ || readOnly_ || j < 0 || j >= header_.tagCount) return 0;
    const std::uint64_t first = TagOffset(j);
    const std::uint64_t end = TagOffset(header_.tagCount);
    if (end > viewSize_) return 0;
    std::memmove(view_ + first, view_ + first + 4, static_cast<std::size_t>(end - first - 4));
    header_.tagCount = static_cast<std::uint8_t>(header_.tagCount - 1);
    view_[kBlockAOffset + blockA::kTagCount] = header_.tagCount;
    tagsDeleted_ = true;
    const bool synced =
        sysio::SyncMappedRange(view_, viewSize_, static_cast<std::size_t>(first),
                               static_cast<std::size_t>(end - first)) &&
        sysio::SyncMappedRange(view_, viewSize_, kBlockAOffset + blockA::kTagCount, 1);
    return synced ? 1 : 0;
}

std::string ChannelHeading(const CXFile& file, int channel) {
    std::string heading = file.GetChannelName(channel);
    const std::string unit = file.GetChannelUnit(channel);
    if (!unit.empty()) heading += "(" + unit + ")";
    return heading;
}

bool IsChannelInUse(const CXFile& file, int channel) {
    return channel >= 0 && channel < kMaxChannels &&
           file.Header().channels[channel].showState != kShowStateNotInUse;
}

}  // namespace kvr
