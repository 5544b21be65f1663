#include "core/datafile/cxfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/datafile/file_codec.h"
#include "core/datafile/gbk.h"
#include "core/sys/sys_io.h"

namespace kvr {

CXFile::CXFile() = default;

CXFile::~CXFile() { Close(); }

// ---------------------------------------------------------------------------------------
// Opening and closing

int CXFile::Open(const std::string& path) { return OpenMapped(path, false); }

int CXFile::OpenReadOnly(const std::string& path) { return OpenMapped(path, true); }

int CXFile::OpenMapped(const std::string& path, bool readOnly) {
    if (path.empty()) return 0;
    Close();
    openReadOnly_ = readOnly;
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

void CXFile::Unmap() {
    if (view_) ::munmap(view_, viewSize_);
    view_ = nullptr;
    viewSize_ = 0;
    RefreshAccess();
}

void CXFile::TakeWriterLock() {
    // The lock belongs to this open file description: a second object in this process
    // conflicts as much as another program, and the lock goes with the descriptor.
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
    lockedByOther_ = errno == EWOULDBLOCK;
    readOnly_ = true;
}

int CXFile::MapFile(const std::string& requested) {
    const std::string path = requested.empty() ? fileName_ : requested;
    Unmap();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    readOnly_ = false;
    lockedByOther_ = false;
    damaged_ = false;
    if (path.empty()) return 0;

    fd_ = openReadOnly_ ? -1 : sysio::Open(path.c_str(), O_RDWR);
    if (openReadOnly_ || (fd_ < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))) {
        // A file we may not write is still worth reading; edits are then refused.
        fd_ = sysio::Open(path.c_str(), O_RDONLY);
        readOnly_ = true;
    }
    if (fd_ < 0) return 0;
    if (!readOnly_) TakeWriterLock();
    return Remap() ? 1 : 0;
}

// Maps the whole of the open descriptor, whatever its size now: a file replaced or renamed
// under us is never confused with the one we hold.
bool CXFile::Remap() {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return false;
    const auto size = static_cast<std::size_t>(info.st_size);
    // Pages we write must have their blocks (a sparse file on a full disk has none): a file
    // that cannot get them is only read, so that no edit ever stores into a hole.
    if (!readOnly_ && !sysio::Reserve(fd_, size)) readOnly_ = true;
    void* mapped =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, readOnly_ ? MAP_PRIVATE : MAP_SHARED, fd_, 0);
    if (mapped == MAP_FAILED) return false;
    Unmap();
    view_ = static_cast<std::uint8_t*>(mapped);
    viewSize_ = size;
    RefreshAccess();
    return true;
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
    // a sample width we cannot read, or a recording that ends before it starts.
    const std::uint64_t sampleSize = header_.records.byte18;
    if (header_.interval <= 0 || sampleSize == 0 || sampleSize > 4) {
        Close();
        return 0;
    }
    ResolveRepeatedHours();
    if (header_.records.last < header_.records.first) {
        Close();
        return 0;
    }
    const Time records = (header_.records.last - header_.records.first) / header_.interval + 1;
    if (records > 0x7FFFFFFF) {
        Close();
        return 0;
    }
    // Identification, blocks and configuration are whole (checked above); what may be cut
    // short is only what follows them.
    if (TagOffset(header_.tagCount) > viewSize_) MarkDamaged();
    SetRecordCount(static_cast<int>(records));
    RefreshAccess();
    return 1;
}

// Where the clock was set back, a local end stamp names two moments: the one that agrees
// with the records the segment holds is meant.
void CXFile::ResolveRepeatedHours() {
    SegmentDescriptor& records = header_.records;
    records.last =
        StampToTimeNear(records.lastStamp,
                        records.first + (static_cast<Time>(records.count) - 1) * header_.interval);
    SegmentDescriptor& hourly = header_.hourly;
    hourly.last = StampToTimeNear(hourly.lastStamp,
                                  hourly.first + (static_cast<Time>(hourly.count) - 1) * 3600);
}

void CXFile::MarkDamaged() {
    damaged_ = true;
    // Nothing will be written: another program may have the file.
    if (!readOnly_ && fd_ >= 0) ::flock(fd_, LOCK_UN);
    readOnly_ = true;
    // Tags that are not wholly in the file are not listed.
    header_.tagCount =
        static_cast<std::uint8_t>(EntriesInFile(TagOffset(0), 4, header_.tagCount, false));
}

const char* CXFile::EditRefusal() const {
    if (lockedByOther_ || openReadOnly_) return kFileInUseText;
    if (damaged_) return kFileDamagedEditText;
    return nullptr;
}

int CXFile::Close() {
    Unmap();
    if (fd_ >= 0) {
        if (tagsDeleted_ && !readOnly_ && !uploadLayout_ &&
            codec::IsFamily(header_.identification)) {
            // The file ends exactly after its tags; deleted tags leave bytes to drop. Only a
            // file whose tags we deleted is cut: one we merely read is never changed.
            struct stat info {};
            const std::uint64_t end = TagOffset(header_.tagCount);
            if (::fstat(fd_, &info) == 0 && static_cast<std::uint64_t>(info.st_size) > end &&
                end >= kHeaderSize)
                (void)sysio::Truncate(fd_, end);
        }
        ::close(fd_);
    }
    fd_ = -1;
    fileName_.clear();
    // The live buffer goes with its object; an upload not put in place is worth nothing.
    if ((temp_ || uploadLayout_) && !tempPath_.empty()) ::unlink(tempPath_.c_str());
    temp_ = 0;
    tempPath_.clear();
    uploadLayout_ = false;
    readOnly_ = false;
    openReadOnly_ = false;
    lockedByOther_ = false;
    damaged_ = false;
    tagsDeleted_ = false;
    SetRecordCount(-1);
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

std::int64_t CXFile::GetBaseTotal(int c) const {
    return IsChannel(c) ? header_.channels[c].baseTotal : 0;
}

bool CXFile::IsChannel(int c) const {
    return c >= 0 && c < header_.channelCount && c < kMaxChannels;
}

float CXFile::GetRangeLow(int c) const {
    if (!IsChannel(c)) return 0;
    const ChannelDescriptor& d = header_.channels[c];
    switch (d.signalType) {
        case 0:
        case 80: return d.rangeLow.Value();
        case 1:
        case 2: return static_cast<float>(PowerOf10(d.rangeLow.Exponent()));
        case 81:
        case 82: return static_cast<float>(PowerOf10(static_cast<int>(d.rangeLow.Value())));
        default: return 0;
    }
}

float CXFile::GetRangeHigh(int c) const {
    if (!IsChannel(c)) return 0;
    const ChannelDescriptor& d = header_.channels[c];
    switch (d.signalType) {
        case 0:
        case 80: return d.rangeHigh.UnsignedValue();
        case 1:
        case 2: return static_cast<float>(PowerOf10(d.rangeHigh.Exponent()));
        case 81:
        case 82: return d.rangeHigh.UnsignedValue();
        default: return 0;
    }
}

// Alarm limits: linear signals read the triple, every other type the exponent.
float CXFile::AlarmValue(int c, const DecimalTriple ChannelDescriptor::*field,
                         bool isUnsigned) const {
    if (!IsChannel(c)) return 0;
    const ChannelDescriptor& d = header_.channels[c];
    const DecimalTriple& triple = d.*field;
    if (IsLinearSignal(d.signalType)) return isUnsigned ? triple.UnsignedValue() : triple.Value();
    return static_cast<float>(PowerOf10(triple.Exponent()));
}

float CXFile::GetAlarmLowLow(int c) const {
    return AlarmValue(c, &ChannelDescriptor::alarmLowLow, false);
}
float CXFile::GetAlarmHighHigh(int c) const {
    return AlarmValue(c, &ChannelDescriptor::alarmHighHigh, true);
}
float CXFile::GetAlarmLow(int c) const {
    return AlarmValue(c, &ChannelDescriptor::alarmLow, false);
}
float CXFile::GetAlarmHigh(int c) const {
    return AlarmValue(c, &ChannelDescriptor::alarmHigh, true);
}
float CXFile::GetHysteresis(int c) const {
    return AlarmValue(c, &ChannelDescriptor::hysteresis, false);
}

// ---------------------------------------------------------------------------------------
// Writing the header back

void CXFile::EncodeHeader(FileHeader& header, std::uint8_t* image) const {
    const std::size_t configEnd = kConfigOffset + static_cast<std::size_t>(configSize_);
    std::memset(image, 0, kBlockAOffset);
    std::memcpy(image, header.identification, kIdentificationSize);
    codec::EncodeBlockA(header, image + kBlockAOffset);
    codec::EncodeSegment(header.records, image + kBlockBOffset);
    codec::EncodeSegment(header.hourly, image + kBlockCOffset);
    codec::WriteNamesToConfig(header);
    std::memcpy(image + kConfigOffset, header.config, static_cast<std::size_t>(configSize_));
    std::memcpy(image + configEnd, &header.flowTotal, 8);
    std::memcpy(image + configEnd + 8, &header.heatTotal, 8);
}

int CXFile::FlushHeader() {
    if (!view_ || readOnly_) return 0;
    const std::size_t configEnd = kConfigOffset + static_cast<std::size_t>(configSize_);
    if (viewSize_ < configEnd + kTrailerSize) return 0;
    EncodeHeader(header_, view_);
    RefreshAccess();
    return sysio::SyncMappedRange(view_, viewSize_, 0, configEnd + kTrailerSize) ? 1 : 0;
}

void CXFile::SetStartTime(Time t) {
    header_.records.first = t;
    header_.records.firstStamp = TimeToStamp(t);
    RefreshAccess();
    if (view_ && !readOnly_ && viewSize_ >= kBlockBOffset + segment::kLastStamp) {
        WriteStamp(view_ + kBlockBOffset + segment::kFirstStamp, header_.records.firstStamp);
        (void)sysio::SyncMappedRange(view_, viewSize_, kBlockBOffset + segment::kFirstStamp, 6);
    }
}

void CXFile::SetEndTime(Time t) {
    const int count = GetRecordCount();
    header_.records.last =
        count != -1 ? header_.records.first + static_cast<Time>(count - 1) * header_.interval : t;
    header_.records.lastStamp = TimeToStamp(header_.records.last);
    RefreshAccess();
    if (view_ && !readOnly_ && viewSize_ >= kBlockBOffset + segment::kReserved1) {
        WriteStamp(view_ + kBlockBOffset + segment::kLastStamp, header_.records.lastStamp);
        (void)sysio::SyncMappedRange(view_, viewSize_, kBlockBOffset + segment::kLastStamp, 6);
    }
}

}  // namespace kvr
