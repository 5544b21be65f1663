#include "core/link/live_recovery.h"

#include <sys/stat.h>

#include <cstdint>

#include "core/datafile/cxfile.h"
#include "core/datafile/layout.h"

namespace kvr {

namespace {

// Opens path as a live buffer: a data file whose hourly block was never stamped, or one
// with room for more records than it has taken (a saved history file holds exactly its
// records). 1 with records, 0 not a buffer, -1 a buffer without a record. A buffer cut
// short opens read-only and cannot be saved from.
int OpenLiveBuffer(CXFile& file, const std::string& path, UnsavedRecords& found) {
    if (file.Open(path) != 1 || file.IsDamaged()) return 0;
    const std::uint8_t* data = file.MappedData();
    const bool saved = IsValidStamp(data + kBlockCOffset + segment::kFirstStamp);
    const int count = file.GetRecordCount();
    const bool room = count > 0 && static_cast<std::uint32_t>(count) < file.Header().records.count;
    if (saved && !room) return 0;
    if (!IsValidStamp(data + kBlockBOffset + segment::kFirstStamp)) return -1;
    if (count <= 0) return 0;
    found = {count, file.GetStartTime(), file.GetEndTime()};
    return 1;
}

}  // namespace

LiveBufferState InspectLiveBuffer(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return LiveBufferState::kAbsent;
    CXFile file;
    UnsavedRecords found;
    const int opened = OpenLiveBuffer(file, path, found);
    if (opened == 0) return LiveBufferState::kNotLiveBuffer;
    if (file.IsLockedByOther()) return LiveBufferState::kInUse;
    return opened > 0 ? LiveBufferState::kHoldsRecords : LiveBufferState::kEmpty;
}

std::optional<UnsavedRecords> FindUnsavedRecords(const std::string& path) {
    CXFile file;
    UnsavedRecords found;
    if (OpenLiveBuffer(file, path, found) != 1) return std::nullopt;
    return found;
}

RecoverResult RecoverLiveBuffer(const std::string& path, const std::string& out) {
    CXFile file;
    RecoverResult result;
    const int opened = OpenLiveBuffer(file, path, result.records);
    if (opened == 0) return result;
    if (opened < 0) {
        result.status = RecoverStatus::kNoRecords;
        return result;
    }
    result.status = file.SaveAs(out) ? RecoverStatus::kSaved : RecoverStatus::kWriteFailed;
    return result;
}

}  // namespace kvr
