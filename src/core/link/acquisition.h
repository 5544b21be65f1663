#pragma once
// Everything the realtime window does apart from drawing: reading the instrument's
// configuration into the live buffer, polling its current values, storing one record per
// record interval, stopping and saving. The window and "kvrtool acquire" drive it the same
// way; the caller owns the record timer and calls RecordTick from it:
//   ReadConfiguration() -> BeginPolling() -> RecordTick() ... -> Stop() -> Save()
// The file is only touched on the caller's thread; the poll thread hands its values over
// under the record lock.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/link/cxlink.h"
#include "core/link/link_progress.h"
#include "core/link/poll_thread.h"
#include "core/settings/com_param.h"
#include "core/settings/view_def.h"

namespace kvr {

enum class StartStatus { kStarted, kAlreadyConnected, kCancelled, kFailed };

struct StartResult {
    StartStatus status = StartStatus::kFailed;
    std::string message;  // why, for kFailed (shown with the stop icon)
};

enum class TickStatus {
    kRecorded,
    kIdle,               // not acquiring: the tick came after a stop
    kCommunicationLost,  // stopped; message to show with the stop icon
    kFileFull,           // the record was stored, then stopped; information icon
};

struct TickResult {
    TickStatus status = TickStatus::kIdle;
    std::string message;
    int index = -1;  // the record stored, or -1
};

struct AcquisitionLimits {
    int pollPeriodMs = 100;
    // How long the first answered poll (or the failed ones that lose communication) and
    // the poll thread's end may take before the port counts as wedged. A poll is bounded
    // by the port timeouts, so with the usual ones these are never reached by an
    // instrument that merely fails to answer.
    int firstDataTimeoutMs = 15000;
    int stopTimeoutMs = 15000;
    // Stop after this many records even if the live buffer holds more; 0: its capacity.
    int capacity = 0;
};

class Acquisition {
public:
    Acquisition();
    // Stops a running acquisition; the live buffer is deleted with the file.
    ~Acquisition();
    Acquisition(const Acquisition&) = delete;
    Acquisition& operator=(const Acquisition&) = delete;

    void SetParams(const ComParam& param) { param_ = param; }
    void SetViewDef(const ViewDef& view) { view_ = view; }
    void SetLimits(const AcquisitionLimits& limits) { limits_ = limits; }
    void SetDelayScale(int percent) { link_.SetDelayScale(percent); }
    // Where the live buffer goes; empty: "temp.tmp" in the program folder.
    void SetTempFilePath(const std::string& path) { file_.SetTempFilePath(path); }

    // The configuration read, safe to run on a worker thread while the caller shows
    // progress. On cancel the live buffer is gone and nothing is available.
    StartResult ReadConfiguration(LinkProgress* progress, const std::atomic<bool>& cancel);
    // Starts the poll thread, waits (bounded) for its first answered poll and stores the
    // first record with the start time now; fails when communication is lost first. May
    // block up to the first-data limit: the window runs it away from its own thread.
    StartResult BeginPolling();
    // Both steps in a row, for callers without a window.
    StartResult Start(LinkProgress* progress, const std::atomic<bool>& cancel);

    // The record timer. Safe to race with Stop from another thread: a tick either stores
    // its record before the stop ends the file, or finds the acquisition over.
    TickResult RecordTick();
    // Ends polling, disconnects, keeps the recorded data. Returns the message to show when
    // the poll thread did not end in time (the port is wedged), otherwise empty.
    std::string Stop();
    // Stop in its two halves, for a window that must keep painting the file: the first
    // is quick and finishes the file (no tick stores anything after it); the second
    // touches no file and may wait up to the stop limit for the poll thread.
    void EndRecording();
    std::string EndPolling();
    // Writes the recorded data as a history file. On success nothing is unsaved.
    bool Save(const std::string& path);

    bool IsAcquiring() const { return acquiring_; }
    bool IsDataAvailable() const { return dataAvailable_; }
    bool IsSaved() const { return saved_; }
    bool CommunicationOk() const;
    int RecordCount() const { return recordCounter_; }
    // Polls made since the acquisition started, successful or not.
    int Polls() const;
    int Capacity() const;
    // The newest polled values (zero before the first successful poll).
    LiveSample Latest() const;

    CXFile& File() { return file_; }
    const CXFile& File() const { return file_; }
    CXLink& Link() { return link_; }

private:
    // Everything below runs with mutex_ held.
    int AppendLocked(Time now);
    void EndRecordingLocked();
    std::string EndPollingLocked();

    ComParam param_;
    ViewDef view_;
    AcquisitionLimits limits_;
    CXLink link_;
    CXFile file_;
    std::unique_ptr<PollThread> poll_;

    // Serialises the record step with stop and save: the record lock of the live values is
    // the poll thread's own.
    mutable std::mutex mutex_;
    std::atomic<bool> acquiring_{false};
    std::atomic<bool> dataAvailable_{false};
    std::atomic<bool> saved_{true};
    std::atomic<int> recordCounter_{0};
};

}  // namespace kvr
