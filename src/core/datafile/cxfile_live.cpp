// CXFile: the live buffer ("temp.tmp") the acquisition writes, and saving it as a history
// file.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/file_codec.h"
#include "core/datafile/program.h"
#include "core/sys/sys_io.h"

namespace kvr {

int CXFile::CreateTempFile() {
    Close();
    const std::string path = tempTarget_.empty() ? GetProgramFolder() + "temp.tmp" : tempTarget_;
    // The buffer holds records only: a header that also described an hourly table or tags
    // would describe a file cut short, and so would the history file saved from it.
    header_.hourly.count = 0;
    header_.tagCount = 0;
    const std::uint64_t size = static_cast<std::uint64_t>(configSize_) +
                               static_cast<std::uint64_t>(header_.channelCount) *
                                   header_.records.byte18 * header_.records.count +
                               kHeaderSize;
    if (size > 0x7FFFFFFF) return 0;
    header_.hourly = SegmentDescriptor{};
    ::unlink(path.c_str());
    fd_ = sysio::Open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0) return 0;
    TakeWriterLock();
    // Every record is stored through the mapping: without its blocks reserved now, a full
    // disk would kill the acquisition with SIGBUS at some later record.
    if (readOnly_ || !sysio::Reserve(fd_, size) || !Remap()) {
        ::close(fd_);
        fd_ = -1;
        readOnly_ = lockedByOther_ = false;
        ::unlink(path.c_str());
        return 0;
    }
    mappingSize_ = static_cast<std::uint32_t>(size);
    tempPath_ = path;
    fileName_ = path;
    temp_ = 1;
    return 1;
}

bool CXFile::AppendRecord(const float* record, unsigned index) {
    return PutRecord(record, index, true);
}

bool CXFile::StoreRecord(const float* record, unsigned index) {
    return PutRecord(record, index, false);
}

bool CXFile::PutRecord(const float* record, unsigned index, bool durable) {
    if (!view_ || readOnly_ || index >= header_.records.count) return false;
    const std::uint64_t sampleSize = header_.records.byte18;
    const std::uint64_t channels = header_.channelCount;
    if (sampleSize == 0 || sampleSize > 4) return false;
    const bool recordMajor = header_.identification[2] == kFamilyId[2];
    std::uint64_t lowest = viewSize_, highest = 0;
    for (std::uint64_t c = 0; c < channels; ++c) {
        const std::uint64_t offset = recordMajor
                                         ? RecordAreaOffset() + (index * channels + c) * sampleSize
                                         : upload::SamplesOffset(channels) +
                                               (c * header_.records.count + index) * sampleSize;
        if (offset + sampleSize > viewSize_) return false;
        std::memcpy(view_ + offset, &record[c], static_cast<std::size_t>(sampleSize));
        if (offset < lowest) lowest = offset;
        if (offset + sampleSize > highest) highest = offset + sampleSize;
    }
    bool synced =
        !durable || sysio::SyncMappedRange(view_, viewSize_, static_cast<std::size_t>(lowest),
                                           static_cast<std::size_t>(highest - lowest));
    // The end stamp in the file follows the records that reached the disk, so a buffer
    // left behind by a crash opens with exactly those. The decoded header is the
    // acquisition's to move (SetEndTime): readers on other threads use it.
    if (recordMajor && header_.interval > 0) {
        const Time last = header_.records.first + static_cast<Time>(index) * header_.interval;
        WriteStamp(view_ + kBlockBOffset + segment::kLastStamp, TimeToStamp(last));
        if (durable)
            synced =
                sysio::SyncMappedRange(view_, viewSize_, kBlockBOffset + segment::kLastStamp, 6) &&
                synced;
    }
    SetRecordCount(static_cast<int>(index + 1));
    return synced;
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
    const std::uint64_t perRecord =
        static_cast<std::uint64_t>(header_.channelCount) * header_.records.byte18;
    const std::uint64_t fixed = static_cast<std::uint64_t>(configSize_) + kHeaderSize;
    if (perRecord == 0 || mappingSize_ < fixed) return 0;
    return static_cast<int>((mappingSize_ - fixed) / perRecord);
}

int CXFile::SaveAs(const std::string& path) {
    const int records = GetRecordCount();
    if (!view_ || readOnly_ || records < 0) return 0;
    // The saved file holds exactly the records taken and no hourly table; the buffer keeps
    // its capacity and its empty hourly block, on disk too, so that acquisition may go on
    // into it and a crash meanwhile still leaves a live buffer.
    FileHeader saved = header_;
    saved.records.count = static_cast<std::uint32_t>(records);
    saved.hourly.firstStamp = saved.records.firstStamp;
    saved.hourly.first = saved.records.first;
    saved.hourly.last = saved.records.first;
    saved.hourly.lastStamp = saved.records.firstStamp;
    saved.hourly.reserved1 = saved.hourly.reserved2 = 0;
    saved.hourly.count = 0;
    const std::uint64_t headerBytes = kHeaderSize + static_cast<std::uint64_t>(configSize_);
    const std::uint64_t recordBytes =
        static_cast<std::uint64_t>(saved.channelCount) * saved.records.byte18 * records;
    if (headerBytes + recordBytes > viewSize_) return 0;
    std::vector<std::uint8_t> head(view_, view_ + headerBytes);
    EncodeHeader(saved, head.data());
    return WriteFileAtomically(path, head.data(), head.size(), view_ + headerBytes,
                               static_cast<std::size_t>(recordBytes));
}

int CXFile::CreateBeside(const std::string& path, std::string& created) {
    const std::size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Hidden, so that nobody takes an unfinished file for a good one.
    std::string pattern = folder + "." + name + ".XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    // Locked while it is written: a clean-up of abandoned files beside a target leaves a
    // file that is still being written alone.
    (void)::flock(fd, LOCK_EX | LOCK_NB);
    ::fchmod(fd, 0644);
    created = buffer.data();
    return fd;
}

int CXFile::WriteFileAtomically(const std::string& path, const std::uint8_t* head,
                                std::size_t headSize, const std::uint8_t* body,
                                std::size_t bodySize) {
    // Write beside the target and rename over it only once every byte is on disk: a full
    // disk or a crash leaves the old file as it was.
    std::string temporary;
    const int fd = CreateBeside(path, temporary);
    if (fd < 0) return 0;
    const bool written = sysio::WriteAll(fd, head, headSize) &&
                         sysio::WriteAll(fd, body, bodySize) && sysio::Fsync(fd);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || !sysio::Rename(temporary.c_str(), path.c_str())) {
        ::unlink(temporary.c_str());
        return 0;
    }
    return 1;
}

}  // namespace kvr
