#pragma once
// The two upload workers: read the chosen records block by block and write them into the
// upload file, with progress, a remaining-time estimate and cancel. They run on a worker
// thread and talk to whoever shows them only through UploadSink.
#include <atomic>
#include <cstdint>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/time.h"
#include "core/link/cxlink.h"

namespace kvr {

struct UploadOutcome {
    enum Status { kCompleted, kCancelled, kFailed };
    Status status = kCancelled;
    // kCompleted: the completion notice; kFailed: the failure ("通讯失败！"); kCancelled:
    // empty (the user cancelled; nothing is shown).
    std::string message;
    std::string path;  // the file; it no longer exists unless completed
};

class UploadSink {
public:
    virtual ~UploadSink() = default;
    virtual void SetProgressRange(int /*high*/) {}
    virtual void SetProgress(int /*position*/) {}
    virtual void SetRemainingText(const std::string& /*text*/) {}
    // Last call of an upload, after the file is closed (and deleted unless completed).
    virtual void Finished(const UploadOutcome& /*outcome*/) {}
};

struct RingUploadJob {
    int mode = 0;                     // record framing: 0 RTU (families 0 and 1), 1 ASCII
    std::uint32_t recordCounter = 0;  // ring index of the range's last record
    int speed = 530;                  // bytes per second
};

struct TimeUploadJob {
    Time start = 0;  // the first record
    int speed = 530;
};

// The file has its header written; its start, end, interval, channel count and capacity
// describe the range. The outcome's file is closed, and deleted unless completed.
UploadOutcome RunRingUpload(const RingUploadJob& job, CXLink& link, CXFile& file, UploadSink& sink,
                            const std::atomic<bool>& cancel);
UploadOutcome RunTimeUpload(const TimeUploadJob& job, CXLink& link, CXFile& file, UploadSink& sink,
                            const std::atomic<bool>& cancel);

// "估计剩余时间:..." for the bytes still to come at `speed` bytes per second.
std::string RemainingTimeText(std::uint32_t totalBytes, std::uint32_t doneBytes,
                              std::uint32_t speed);
// The completion notice: wall-clock start and end, and bytes per second over at least one
// second.
std::string CompletionText(Time started, Time ended, std::uint64_t totalBytes);

// Records per by-time request for a channel count; 0 when a request cannot hold one record.
int RecordsPerRequest(int channels);

}  // namespace kvr
