#include "core/datafile/cxfile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/datafile/file_codec.h"
#include "core/datafile/gbk.h"
#include "core/datafile/program.h"

namespace kvr {
namespace {

// Retry on EINTR; never retry close.
ssize_t WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Flushes the pages that hold [offset, offset + size) of a shared mapping.
void SyncRange(std::uint8_t* view, std::size_t viewSize, std::size_t offset, std::size_t size) {
    if (!view || offset >= viewSize) return;
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t begin = offset / page * page;
    std::size_t end = offset + size;
    if (end > viewSize) end = viewSize;
    ::msync(view + begin, end - begin, MS_SYNC);
}

}  // namespace

CXFile::CXFile() = default;

CXFile::~CXFile() { Close(); }

// ---------------------------------------------------------------------------------------
// Opening and closing

int CXFile::Open(const std::string& path) {
    if (path.empty()) return 0;
    Close();
    header_ = FileHeader{};  // nothing of a previous file may leak into this one
    fileName_ = path;
    if (!MapFile(path)) {
        Close();
        return 0;
    }
    if (viewSize_ < kHeaderSize) {
        Close();
        return 0;
    }
    version_ = codec::VersionOf(reinterpret_cast<const char*>(view_));
    configSize_ = ConfigSizeForVersion(version_);
    if (configSize_ == 0) return 2;  // newer version; the caller deletes the object
    return ParseHeader();
}

int CXFile::MapFile(const std::string& requested) {
    const std::string path = requested.empty() ? fileName_ : requested;
    if (view_) ::munmap(view_, viewSize_);
    view_ = nullptr;
    viewSize_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    readOnly_ = false;
    if (path.empty()) return 0;

    fd_ = OpenRetrying(path.c_str(), O_RDWR);
    if (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM)) {
        // A file we may not write is still worth reading; edits are then refused.
        fd_ = OpenRetrying(path.c_str(), O_RDONLY);
        readOnly_ = true;
    }
    if (fd_ < 0) return 0;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return 0;
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, readOnly_ ? MAP_PRIVATE : MAP_SHARED,
                          fd_, 0);
    if (mapped == MAP_FAILED) return 0;
    view_ = static_cast<std::uint8_t*>(mapped);
    viewSize_ = size;
    return 1;
}

int CXFile::ParseHeader() {
    if (!view_ || viewSize_ < kHeaderSize) {
        Close();
        return 0;
    }
    std::memcpy(header_.identification, view_ + kIdentificationOffset, kIdentificationSize);
    if (!codec::IsFamily(header_.identification)) {
        Close();
        return 0;
    }
    const std::size_t configEnd = kConfigOffset + static_cast<std::size_t>(configSize_);
    if (viewSize_ < configEnd + kTrailerSize) {
        Close();
        return 0;
    }
    codec::DecodeBlockA(view_ + kBlockAOffset, header_);
    codec::DecodeSegment(view_ + kBlockBOffset, header_.records);
    codec::DecodeSegment(view_ + kBlockCOffset, header_.hourly);
    std::memset(header_.config, 0, sizeof header_.config);
    std::memcpy(header_.config, view_ + kConfigOffset, static_cast<std::size_t>(configSize_));
    std::memcpy(&header_.flowTotal, view_ + configEnd, 8);
    std::memcpy(&header_.heatTotal, view_ + configEnd + 8, 8);

    header_.channelCount = kFileChannels;
    header_.reservedByte = 0;
    header_.scientific = 0;
    header_.pieGridCount = 10;
    codec::DeriveChannels(header_);

    // Refuse what would make every later computation meaningless or unsafe: no interval,
    // a recording that ends before it starts, a sample width we cannot read, or a record
    // area that reaches past the end of the file.
    const std::uint64_t sampleSize = header_.records.byte18;
    const std::uint64_t recordArea =
        static_cast<std::uint64_t>(header_.channelCount) * sampleSize * header_.records.count;
    if (header_.interval <= 0 || header_.records.last < header_.records.first || sampleSize == 0 ||
        sampleSize > 4 || RecordAreaOffset() + recordArea > viewSize_) {
        Close();
        return 0;
    }
    const Time records = (header_.records.last - header_.records.first) / header_.interval + 1;
    if (records > 0x7FFFFFFF) {
        Close();
        return 0;
    }
    recordCount_ = static_cast<int>(records);
    trimOnClose_ = true;
    return 1;
}

int CXFile::Close() {
    if (view_) ::munmap(view_, viewSize_);
    view_ = nullptr;
    if (fd_ >= 0) {
        if (trimOnClose_ && !readOnly_ && !uploadLayout_ && codec::IsFamily(header_.identification)) {
            // The file ends exactly after its tags; deleted tags leave bytes to drop. A file
            // shorter than its own description is not padded: reading it never changes it.
            struct stat info {};
            const std::uint64_t end = TagOffset(header_.tagCount);
            if (::fstat(fd_, &info) == 0 && static_cast<std::uint64_t>(info.st_size) > end &&
                end >= kHeaderSize)
                (void)::ftruncate(fd_, static_cast<off_t>(end));
        }
        ::close(fd_);
    }
    fd_ = -1;
    viewSize_ = 0;
    fileName_.clear();
    if (temp_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
    temp_ = 0;
    tempPath_.clear();
    uploadLayout_ = false;
    readOnly_ = false;
    trimOnClose_ = false;
    recordCount_ = -1;
    return 1;
}

// ---------------------------------------------------------------------------------------
// Header queries

std::string CXFile::GetDeviceName() const {
    return FieldToUtf8(header_.deviceName, sizeof header_.deviceName);
}

std::string CXFile::GetChannelName(int c) const {
    if (!IsChannel(c)) return {};
    return FieldToUtf8(header_.channels[c].name, sizeof header_.channels[c].name);
}

std::string CXFile::GetChannelUnit(int c) const {
    if (!IsChannel(c)) return {};
    return FieldToUtf8(header_.channels[c].unit, sizeof header_.channels[c].unit);
}

std::int64_t CXFile::GetBaseTotal(int c) const { return IsChannel(c) ? header_.channels[c].baseTotal : 0; }

bool CXFile::IsChannel(int c) const { return c >= 0 && c < header_.channelCount && c < kMaxChannels; }

float CXFile::GetRangeLow(int c) const {
    if (!IsChannel(c)) return 0;
    const ChannelDescriptor& d = header_.channels[c];
    switch (d.signalType) {
        case 0: case 80: return d.rangeLow.Value();
        case 1: case 2: return static_cast<float>(PowerOf10(d.rangeLow.Exponent()));
        case 81: case 82: return static_cast<float>(PowerOf10(static_cast<int>(d.rangeLow.Value())));
        default: return 0;
    }
}

float CXFile::GetRangeHigh(int c) const {
    if (!IsChannel(c)) return 0;
    const ChannelDescriptor& d = header_.channels[c];
    switch (d.signalType) {
        case 0: case 80: return d.rangeHigh.UnsignedValue();
        case 1: case 2: return static_cast<float>(PowerOf10(d.rangeHigh.Exponent()));
        case 81: case 82: return d.rangeHigh.UnsignedValue();
        default: return 0;
    }
}

// Alarm limits: linear signals read the triple, every other type the exponent.
float CXFile::AlarmValue(int c, const DecimalTriple ChannelDescriptor::*field, bool isUnsigned) const {
    if (!IsChannel(c)) return 0;
    const ChannelDescriptor& d = header_.channels[c];
    const DecimalTriple& triple = d.*field;
    if (d.signalType == 0 || d.signalType == 80) return isUnsigned ? triple.UnsignedValue() : triple.Value();
    return static_cast<float>(PowerOf10(triple.Exponent()));
}

float CXFile::GetAlarmLowLow(int c) const { return AlarmValue(c, &ChannelDescriptor::alarmLowLow, false); }
float CXFile::GetAlarmHighHigh(int c) const { return AlarmValue(c, &ChannelDescriptor::alarmHighHigh, true); }
float CXFile::GetAlarmLow(int c) const { return AlarmValue(c, &ChannelDescriptor::alarmLow, false); }
float CXFile::GetAlarmHigh(int c) const { return AlarmValue(c, &ChannelDescriptor::alarmHigh, true); }
float CXFile::GetHysteresis(int c) const { return AlarmValue(c, &ChannelDescriptor::hysteresis, false); }

// ---------------------------------------------------------------------------------------
// Value access

std::uint64_t CXFile::RecordAreaOffset() const {
    return kHeaderSize + static_cast<std::uint64_t>(configSize_);
}

std::uint64_t CXFile::HourlyOffset() const {
    return RecordAreaOffset() + static_cast<std::uint64_t>(header_.channelCount) * header_.records.byte18 *
                                    header_.records.count;
}

std::uint64_t CXFile::TagOffset(int j) const {
    return HourlyOffset() + 8ull * header_.hourly.count + 4ull * static_cast<unsigned>(j);
}

int CXFile::GetValue(int c, Time t, float* value, float* percent) const {
    if (!view_) return 1;
    if (!IsChannel(c)) return 0;
    const Time start = header_.records.first;
    if (t < start || t > header_.records.last || header_.interval <= 0) return 0;
    // Every real file spans far less than 2^32 seconds: divide in 32 bits, which costs a
    // fraction of a 64-bit division on every sample read.
    const std::uint64_t elapsed = static_cast<std::uint64_t>(t - start);
    const std::uint64_t record =
        elapsed <= 0xFFFFFFFFu
            ? static_cast<std::uint32_t>(elapsed) / static_cast<std::uint32_t>(header_.interval)
            : elapsed / static_cast<std::uint64_t>(header_.interval);
    // A record beyond the capacity has no sample (the stored end disagrees with K).
    if (record >= header_.records.count) return 0;
    const std::uint64_t sampleSize = header_.records.byte18;
    const std::uint64_t offset =
        RecordAreaOffset() + (record * header_.channelCount + static_cast<unsigned>(c)) * sampleSize;
    if (offset + sampleSize > viewSize_ || sampleSize > 4) return 0;
    float sample = 0.0f;
    if (sampleSize == 4) {
        std::memcpy(&sample, view_ + offset, 4);
    } else {
        std::uint8_t bytes[4] = {};
        std::memcpy(bytes, view_ + offset, sampleSize);
        std::memcpy(&sample, bytes, 4);
    }
    const std::uint8_t type = header_.channels[c].signalType;
    if (type != 0 && type != 80) return 1;
    if (value) *value = sample;
    if (percent) {
        const float low = GetRangeLow(c);
        const float high = GetRangeHigh(c);
        float clamped = sample;
        if (clamped < low) clamped = low;
        if (clamped > high) clamped = high;
        // An empty range has no meaningful percent; 0 keeps curves and lists drawable.
        *percent = high > low ? (clamped - low) / (high - low) * 100.0f : 0.0f;
    }
    return 1;
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
    if (d.signalType == 0 || d.signalType == 80) return fixed(c <= 2 ? d.rangeLow.decimals : 2);
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
    const int step = header_.interval > 0 ? header_.interval : 1;
    const Time delta = request->direction == 0 ? step : -step;
    auto matches = [&](int c, Time t) {
        float value = 0;
        if (GetValue(c, t, &value, nullptr) != 1) return false;
        return value - request->tolerance <= request->target && request->target <= value + request->tolerance;
    };
    for (Time t = request->time; header_.records.first <= t && t <= header_.records.last; t += delta) {
        bool found = false;
        if (request->channel >= 1) {
            found = matches(request->channel - 1, t);
        } else {
            for (int c = 0; c < header_.channelCount && !found; ++c) found = matches(c, t);
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
    if (TagOffset(header_.tagCount) > viewSize_) return 0;
    const auto stored = static_cast<std::uint32_t>(static_cast<std::int32_t>(t));
    if (WriteAt(fd_, &stored, 4, TagOffset(header_.tagCount)) != 4) return 0;
    if (::fdatasync(fd_) != 0) return 0;
    header_.tagCount = static_cast<std::uint8_t>(header_.tagCount + 1);
    view_[kBlockAOffset + blockA::kTagCount] = header_.tagCount;
    SyncRange(view_, viewSize_, kBlockAOffset + blockA::kTagCount, 1);
    // Remap so that the grown file is covered.
    if (!MapFile(fileName_)) return 0;
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
    SyncRange(view_, viewSize_, static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
    SyncRange(view_, viewSize_, kBlockAOffset + blockA::kTagCount, 1);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Writing the header back

int CXFile::FlushHeader() {
    if (!view_ || readOnly_) return 0;
    const std::size_t configEnd = kConfigOffset + static_cast<std::size_t>(configSize_);
    if (viewSize_ < configEnd + kTrailerSize) return 0;
    std::memset(view_, 0, kBlockAOffset);
    std::memcpy(view_, header_.identification, kIdentificationSize);
    codec::EncodeBlockA(header_, view_ + kBlockAOffset);
    codec::EncodeSegment(header_.records, view_ + kBlockBOffset);
    codec::EncodeSegment(header_.hourly, view_ + kBlockCOffset);
    codec::WriteNamesToConfig(header_);
    std::memcpy(view_ + kConfigOffset, header_.config, static_cast<std::size_t>(configSize_));
    std::memcpy(view_ + configEnd, &header_.flowTotal, 8);
    std::memcpy(view_ + configEnd + 8, &header_.heatTotal, 8);
    SyncRange(view_, viewSize_, 0, configEnd + kTrailerSize);
    return 1;
}

void CXFile::SetStartTime(Time t) {
    header_.records.first = t;
    header_.records.firstStamp = TimeToStamp(t);
    if (view_ && !readOnly_ && viewSize_ >= kBlockBOffset + 6) {
        WriteStamp(view_ + kBlockBOffset + segment::kFirstStamp, header_.records.firstStamp);
        SyncRange(view_, viewSize_, kBlockBOffset, 6);
    }
}

void CXFile::SetEndTime(Time t) {
    header_.records.last = recordCount_ != -1
                               ? header_.records.first + static_cast<Time>(recordCount_ - 1) * header_.interval
                               : t;
    header_.records.lastStamp = TimeToStamp(header_.records.last);
    if (view_ && !readOnly_ && viewSize_ >= kBlockBOffset + 12) {
        WriteStamp(view_ + kBlockBOffset + segment::kLastStamp, header_.records.lastStamp);
        SyncRange(view_, viewSize_, kBlockBOffset + segment::kLastStamp, 6);
    }
}

void CXFile::SetChannelRecord(const void* record, int i) {
    if (!view_ || readOnly_ || i < 0) return;
    const std::uint64_t offset = 320 + 160ull * static_cast<unsigned>(i);
    if (offset + 160 > viewSize_) return;
    std::memcpy(view_ + offset, record, 160);
}

// ---------------------------------------------------------------------------------------
// The live buffer

int CXFile::CreateTempFile() {
    Close();
    const std::string path = tempTarget_.empty() ? GetProgramFolder() + "temp.tmp" : tempTarget_;
    const std::uint64_t size = static_cast<std::uint64_t>(configSize_) +
                               static_cast<std::uint64_t>(header_.channelCount) * header_.records.byte18 *
                                   header_.records.count +
                               kHeaderSize;
    if (size > 0x7FFFFFFF) return 0;
    ::unlink(path.c_str());
    fd_ = OpenRetrying(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0) return 0;
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(path.c_str());
        return 0;
    }
    void* mapped = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (mapped == MAP_FAILED) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(path.c_str());
        return 0;
    }
    view_ = static_cast<std::uint8_t*>(mapped);
    viewSize_ = static_cast<std::size_t>(size);
    mappingSize_ = static_cast<std::uint32_t>(size);
    tempPath_ = path;
    fileName_ = path;
    temp_ = 1;
    return 1;
}

void CXFile::AppendRecord(const float* record, unsigned index) {
    if (!view_ || readOnly_ || index >= header_.records.count) return;
    const std::uint64_t sampleSize = header_.records.byte18;
    const std::uint64_t channels = header_.channelCount;
    if (sampleSize == 0 || sampleSize > 4) return;
    const bool recordMajor = header_.identification[2] == kFamilyId[2];
    std::uint64_t lowest = viewSize_, highest = 0;
    for (std::uint64_t c = 0; c < channels; ++c) {
        const std::uint64_t offset =
            recordMajor ? RecordAreaOffset() + (index * channels + c) * sampleSize
                        : 320 + 160 * channels + (c * header_.records.count + index) * sampleSize;
        if (offset + sampleSize > viewSize_) return;
        std::memcpy(view_ + offset, &record[c], static_cast<std::size_t>(sampleSize));
        if (offset < lowest) lowest = offset;
        if (offset + sampleSize > highest) highest = offset + sampleSize;
    }
    if (highest > lowest) SyncRange(view_, viewSize_, static_cast<std::size_t>(lowest),
                                    static_cast<std::size_t>(highest - lowest));
    recordCount_ = static_cast<int>(index + 1);
}

void CXFile::SetTotals(std::int64_t flow, std::int64_t heat) {
    header_.flowTotal = flow;
    header_.heatTotal = heat;
    const std::size_t configEnd = kConfigOffset + static_cast<std::size_t>(configSize_);
    if (!view_ || readOnly_ || viewSize_ < configEnd + kTrailerSize) return;
    std::memcpy(view_ + configEnd, &flow, 8);
    std::memcpy(view_ + configEnd + 8, &heat, 8);
}

int CXFile::GetCapacity() const {
    const std::uint64_t perRecord = static_cast<std::uint64_t>(header_.channelCount) * header_.records.byte18;
    const std::uint64_t fixed = static_cast<std::uint64_t>(configSize_) + kHeaderSize;
    if (perRecord == 0 || mappingSize_ < fixed) return 0;
    return static_cast<int>((mappingSize_ - fixed) / perRecord);
}

int CXFile::SaveAs(const std::string& path) {
    if (!view_ || readOnly_ || recordCount_ < 0) return 0;
    // The saved file holds exactly the records taken and no hourly table; the buffer keeps
    // its own capacity so that acquisition may go on into it.
    const SegmentDescriptor keepRecords = header_.records;
    const SegmentDescriptor keepHourly = header_.hourly;
    header_.records.count = static_cast<std::uint32_t>(recordCount_);
    header_.hourly.firstStamp = header_.records.firstStamp;
    header_.hourly.first = header_.records.first;
    header_.hourly.last = header_.records.first;
    header_.hourly.lastStamp = header_.records.firstStamp;
    header_.hourly.reserved1 = header_.hourly.reserved2 = 0;
    header_.hourly.count = 0;
    int result = FlushHeader();
    if (result) {
        const std::uint64_t headerBytes = kHeaderSize + static_cast<std::uint64_t>(configSize_);
        std::uint64_t recordBytes = static_cast<std::uint64_t>(header_.channelCount) * header_.records.byte18 *
                                    header_.records.count;
        if (headerBytes + recordBytes > viewSize_) recordBytes = 0, result = 0;
        if (result) result = WriteFileAtomically(path, view_, static_cast<std::size_t>(headerBytes + recordBytes));
    }
    header_.records = keepRecords;
    header_.hourly = keepHourly;
    FlushHeader();
    return result;
}

int CXFile::WriteFileAtomically(const std::string& path, const std::uint8_t* data, std::size_t size) {
    // Write beside the target and rename over it only once every byte is on disk: a full
    // disk or a crash leaves the old file as it was.
    std::string temporary = path + ".XXXXXX";
    std::vector<char> pattern(temporary.begin(), temporary.end());
    pattern.push_back('\0');
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) return 0;
    temporary = pattern.data();
    const bool written = WriteAll(fd, data, size) && ::fsync(fd) == 0;
    ::fchmod(fd, 0644);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return 0;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------
// Upload layouts

int CXFile::Create(const std::string& path) {
    Close();
    fd_ = OpenRetrying(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0) return 0;
    fileName_ = path;
    uploadLayout_ = true;
    recordCount_ = 0;
    return 1;
}

int CXFile::WriteHeader() {
    // A header describes at most kMaxChannels channel records.
    if (fd_ < 0 || header_.channelCount > kMaxChannels) return 0;
    std::vector<std::uint8_t> bytes = codec::EncodeUploadHeader(header_);
    if (WriteAt(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) return 0;
    recordCount_ = 0;
    return 1;
}

int CXFile::WriteRecords(const void* data, unsigned n, int k) {
    if (fd_ < 0 || k < 0) return 0;
    const std::uint64_t sampleSize = header_.records.byte18;
    const std::uint64_t channels = header_.channelCount;
    const std::uint64_t base = 0x140 + 160 * channels;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    if (codec::IsRecordMajorUpload(header_.identification)) {
        offset = base + static_cast<std::uint64_t>(k) * channels * sampleSize;
        size = n;
    } else {
        if (static_cast<std::uint64_t>(k) >= channels) return 0;
        offset = base + (static_cast<std::uint64_t>(k) * header_.records.count +
                         static_cast<std::uint64_t>(recordCount_ < 0 ? 0 : recordCount_)) *
                            sampleSize;
        size = n * sampleSize;
    }
    return WriteAt(fd_, data, static_cast<std::size_t>(size), offset) == static_cast<ssize_t>(size) ? 1 : 0;
}

void CXFile::AdvanceRecords(unsigned n) {
    const std::uint64_t next = static_cast<std::uint64_t>(recordCount_ < 0 ? 0 : recordCount_) + n;
    recordCount_ = next >= header_.records.count ? 0 : static_cast<int>(next);
}

unsigned CXFile::RingAdd(unsigned a, unsigned b, unsigned c) {
    const std::uint64_t sum = static_cast<std::uint64_t>(a) + b;
    if (a < c && b < c) return static_cast<unsigned>(sum < c ? sum : sum - c);
    return 0;
}

unsigned CXFile::RingDistance(unsigned a, unsigned b, unsigned c) {
    if (a < c && b < c) return a >= b ? a - b : a + c - b;
    return 0;
}

}  // namespace kvr
