#pragma once
// Records left in a live buffer by an acquisition that ended without saving (a crash, a
// power cut, a killed process). Each record and then the end stamp reach the disk as they
// are taken, so what the buffer's header counts is complete.
//
// A live buffer tells itself from a saved history file by its hourly block, which only a
// save ever stamps: a buffer filled to its last record is still a buffer.
#include <optional>
#include <string>

#include "core/datafile/time.h"

namespace kvr {

struct UnsavedRecords {
    int count = 0;
    Time start = 0, end = 0;
};

enum class RecoverStatus { kSaved, kNotLiveBuffer, kNoRecords, kWriteFailed };

struct RecoverResult {
    RecoverStatus status = RecoverStatus::kNotLiveBuffer;
    UnsavedRecords records;
};

// What a file at a live buffer's path holds, for a new acquisition about to replace it.
enum class LiveBufferState {
    kAbsent,         // no file there
    kNotLiveBuffer,  // some other file
    kEmpty,          // a buffer without a record: nothing is lost by replacing it
    kHoldsRecords,   // records nobody saved
    kInUse,          // a running acquisition writes it
};
LiveBufferState InspectLiveBuffer(const std::string& path);

// The records waiting in the buffer at path; nullopt when there is no such file, it is not
// a live buffer, or it holds no record.
std::optional<UnsavedRecords> FindUnsavedRecords(const std::string& path);

// Saves the buffer's records as a history file at out, exactly as a save during the
// acquisition would have. The buffer keeps its records.
RecoverResult RecoverLiveBuffer(const std::string& path, const std::string& out);

}  // namespace kvr
