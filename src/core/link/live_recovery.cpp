#include "core/link/live_recovery.h"

#include <cstdint>

#include "core/datafile/cxfile.h"
#include "core/datafile/layout.h"

namespace kvr {

namespace {

// Opens path as a live buffer: a data file with room for more records than it has taken
// (a saved history file holds exactly its records). 1 with records, 0 not a buffer, -1 a
// buffer without a record. A buffer cut short opens read-only and cannot be saved from.
int OpenLiveBuffer(CXFile& file, const std::string& path, UnsavedRecords& found) {
    if (file.Open(path) != 1 || file.IsDamaged()) return 0;
    const std::uint8_t* data = file.MappedData();
    const bool started = IsValidStamp(data + kBlockBOffset + segment::kFirstStamp);
    if (!started) return -1;
    const int count = file.GetRecordCount();
    if (count <= 0 || static_cast<std::uint32_t>(count) >= file.Header().records.count) return 0;
    found = {count, file.GetStartTime(), file.GetEndTime()};
    return 1;
}

}  // namespace

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
