// CXFile: following a live buffer that another program (a collector, an acquisition) is
// recording into, from a read-only mapping of it.
#include <sys/stat.h>

#include <cstring>

#include "core/datafile/cxfile.h"

namespace kvr {

bool CXFile::HoldsRecording() const { return IsValidStamp(header_.records.firstStamp.data()); }

CXFile::FollowResult CXFile::Follow() {
    if (!view_ || fd_ < 0 || fileName_.empty()) return FollowResult::kUnchanged;
    struct stat atPath {};
    struct stat held {};
    if (::stat(fileName_.c_str(), &atPath) != 0) return FollowResult::kGone;
    // A collector that lost its instrument saves and removes the buffer, and later records
    // into a new one under the same name.
    if (::fstat(fd_, &held) != 0 || atPath.st_ino != held.st_ino || atPath.st_dev != held.st_dev)
        return FollowResult::kRestarted;
    const std::size_t configEnd = kConfigOffset + static_cast<std::size_t>(configSize_);
    if (viewSize_ < configEnd + kTrailerSize || header_.interval <= 0)
        return FollowResult::kUnchanged;

    // The writer changes the stamps one at a time (a new recording clears both, then sets
    // its start, then its end): a pair that describes no recording is a change caught half
    // way, and the next look sees it done.
    const Stamp firstStamp = ReadStamp(view_ + kBlockBOffset + segment::kFirstStamp);
    const Stamp lastStamp = ReadStamp(view_ + kBlockBOffset + segment::kLastStamp);
    if (!IsValidStamp(firstStamp.data()) || !IsValidStamp(lastStamp.data()))
        return FollowResult::kUnchanged;
    const Time interval = header_.interval;
    const Time capacity = header_.records.count;
    const auto describesRecords = [&](Time first, Time last) {
        return last >= first && (last - first) % interval == 0 &&
               (last - first) / interval < capacity;
    };
    if (firstStamp != header_.records.firstStamp) {
        const Time first = StampToTime(firstStamp);
        return describesRecords(first, StampToTimeNear(lastStamp, first))
                   ? FollowResult::kRestarted
                   : FollowResult::kUnchanged;
    }
    if (lastStamp == header_.records.lastStamp) return FollowResult::kUnchanged;
    const Time first = header_.records.first;
    const Time last = StampToTimeNear(lastStamp, header_.records.last);
    // Records are only ever added to a recording; an end that moved back belongs to a new
    // one whose start is not written yet.
    if (last < header_.records.last || !describesRecords(first, last))
        return FollowResult::kUnchanged;
    header_.records.last = last;
    header_.records.lastStamp = lastStamp;
    std::memcpy(&header_.flowTotal, view_ + configEnd, 8);
    std::memcpy(&header_.heatTotal, view_ + configEnd + 8, 8);
    SetRecordCount(static_cast<int>((last - first) / interval + 1));
    RefreshAccess();
    return FollowResult::kAppended;
}

}  // namespace kvr
