// CXFile: writing the two upload layouts.
#include <unistd.h>

#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/file_codec.h"
#include "core/sys/sys_io.h"

namespace kvr {

int CXFile::Create(const std::string& path) {
    Close();
    if (path.empty()) return 0;
    fd_ = CreateBeside(path, tempPath_);
    if (fd_ < 0) {
        tempPath_.clear();
        return 0;
    }
    fileName_ = path;
    uploadLayout_ = true;
    SetRecordCount(0);
    return 1;
}

int CXFile::WriteHeader() {
    // A header describes at most kMaxChannels channel records.
    if (fd_ < 0 || !uploadLayout_ || header_.channelCount > kMaxChannels) return 0;
    const std::vector<std::uint8_t> bytes = codec::EncodeUploadHeader(header_);
    if (!sysio::WriteAllAt(fd_, bytes.data(), bytes.size(), 0)) return 0;
    SetRecordCount(0);
    return 1;
}

int CXFile::WriteRecords(const void* data, unsigned n, int k) {
    if (fd_ < 0 || !uploadLayout_ || k < 0) return 0;
    const std::uint64_t sampleSize = header_.records.byte18;
    const std::uint64_t channels = header_.channelCount;
    const std::uint64_t base = upload::SamplesOffset(channels);
    const int ring = GetRecordCount();
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    if (codec::IsRecordMajorUpload(header_.identification)) {
        offset = base + static_cast<std::uint64_t>(k) * channels * sampleSize;
        size = n;
    } else {
        if (static_cast<std::uint64_t>(k) >= channels) return 0;
        offset = base + (static_cast<std::uint64_t>(k) * header_.records.count +
                         static_cast<std::uint64_t>(ring < 0 ? 0 : ring)) *
                            sampleSize;
        size = n * sampleSize;
    }
    return sysio::WriteAllAt(fd_, data, static_cast<std::size_t>(size), offset) ? 1 : 0;
}

void CXFile::AdvanceRecords(unsigned n) {
    const int ring = GetRecordCount();
    const std::uint64_t next = static_cast<std::uint64_t>(ring < 0 ? 0 : ring) + n;
    SetRecordCount(next >= header_.records.count ? 0 : static_cast<int>(next));
}

int CXFile::FinishUpload() {
    if (fd_ < 0 || !uploadLayout_ || tempPath_.empty()) return 0;
    // On disk before it takes the target's name: "complete" must survive a power cut.
    if (!sysio::Fsync(fd_) || !sysio::Rename(tempPath_.c_str(), fileName_.c_str())) return 0;
    tempPath_.clear();
    return 1;
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
