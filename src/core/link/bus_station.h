#pragma once
// BusStation: one instrument of an unattended collection, on a port it may share with
// others. Its bus thread reads the configuration into a new live buffer and then polls the
// live values; the recording thread stores one record per interval into the buffer, and
// saves it as a history file when the day turns, the buffer fills, communication is lost
// or the collection ends. A lost instrument is tried again every reconnect interval, and
// its next file starts with the first answered poll: a gap in communication is a gap
// between files.
//
// Who may touch the buffer follows the state: the bus thread while the station waits for
// its configuration, the recording thread once it is live. The state changes under the
// station's lock, which hands the buffer over.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/history_path.h"
#include "core/datafile/time.h"
#include "core/link/cxlink.h"
#include "core/link/live_values.h"

namespace kvr {

struct StationSettings {
    std::string name;
    std::string folder;  // the live buffer and the history files go here
    int address = 1;
    int interval = 1;           // seconds between records
    int rotateHour = 0;         // the hour a new file starts each day; -1: only when full
    int reconnectSec = 5;       // between tries to reach a lost instrument
    int recordsPerFile = 0;     // 0: as many as the buffer holds
    bool realtimeOnly = false;  // refuse an instrument of another family at the address
};

struct StationStatus {
    bool recording = false;
    Time lastRecord = 0;  // 0: none yet
    int recordsToday = 0;
    int gaps = 0;  // times communication was lost while recording
    int communicationErrors = 0;
    std::string file;         // the history file being written, empty when none
    long maxTickDelayMs = 0;  // the largest delay of a record tick past its due time
};

using SteadyTime = std::chrono::steady_clock::time_point;

class BusStation {
public:
    explicit BusStation(StationSettings settings);
    // Saves what is recorded (Finish) first.
    ~BusStation();
    BusStation(const BusStation&) = delete;
    BusStation& operator=(const BusStation&) = delete;

    const StationSettings& Settings() const { return settings_; }
    std::string BufferPath() const;
    // Called on the recording thread with the file, the index of every record as it is
    // stored, and the history file those records will be saved as.
    using RecordObserver = std::function<void(const CXFile&, int, const std::string&)>;
    void SetRecordObserver(RecordObserver observer) { observer_ = std::move(observer); }

    // Before the bus thread starts: saves the records a killed collector left in the
    // buffer (or a failed save set aside) as their history files and removes the buffers.
    // Returns what happened, one line per buffer with records, for the log.
    std::vector<std::string> RecoverBuffers();

    // Bus thread. True when the configuration is to be read now.
    bool WantsConfiguration(SteadyTime now) const;
    // When the next configuration read is due (only while waiting).
    SteadyTime RetryAt() const;
    // Reads the configuration over link, which addresses this instrument, into a new live
    // buffer; on success the station is live. On failure it waits for the next try.
    bool ReadConfiguration(CXLink& link, const std::atomic<bool>& cancel, SteadyTime now);
    // The port could not be opened: a waiting station tries again after its interval.
    void Postpone(SteadyTime now);
    // The values to poll: null unless live with communication.
    std::shared_ptr<LiveValues> PolledValues() const;
    // The port has gone: communication is lost at once.
    void MarkLost();

    // Recording thread. Starts recording on the first answered poll, stores the records
    // due by now, rotates and saves; wall is the calendar time of now.
    void Step(SteadyTime now, Time wall);
    // When Step has something to do next (the next record), or max while not recording.
    SteadyTime NextDue() const;
    // Ends recording and saves. A buffer that could not be saved stays on disk, for the
    // recovery at the next start.
    void Finish();
    StationStatus Status() const;

private:
    enum class State { kWaiting, kLive };
    // Recording thread, with a live buffer.
    void StoreRecord(Time wall);
    // Saves the records so far as a history file; false (and a message) when that failed.
    bool SaveRecords();
    // Saves and starts the next file in the same buffer, or keeps recording into this one
    // when the save failed.
    void SaveAndRestart();
    // Saves (when there are records) and gives the buffer up; waiting again.
    void EndFile(SteadyTime now);
    // One buffer of RecoverBuffers: the history file saved, or a message.
    std::string RecoverBuffer(const std::string& buffer);
    int Capacity() const;

    const StationSettings settings_;
    RecordObserver observer_;

    mutable std::mutex mutex_;  // guards the state, values_ and retryAt_
    State state_ = State::kWaiting;
    std::shared_ptr<LiveValues> values_;
    SteadyTime retryAt_{};

    // The buffer: the bus thread's while waiting, the recording thread's while live.
    std::unique_ptr<CXFile> file_;
    // Bus thread only: why the instrument at the address was last refused, said once.
    std::string refusal_;

    // Recording thread only.
    bool recording_ = false;
    int index_ = 0;
    SteadyTime nextDue_{};
    Time nextWall_ = 0;
    Time fileStart_ = 0;
    std::string filePath_;  // where the records in the buffer are saved
    bool saveFailed_ = false;

    // Read by Status (recording thread) and written by it.
    int gaps_ = 0;
    int recordsToday_ = 0;
    int today_ = -1;  // yyyymmdd of recordsToday_
    Time lastRecord_ = 0;
    int pastErrors_ = 0;  // failed polls of values given up
    long maxTickDelayMs_ = 0;
};

// True when a file whose first record is at first must end before a record at t: a new
// file starts at rotateHour:00 each day (never when rotateHour is negative).
bool CrossesRotation(Time first, Time t, int rotateHour);

}  // namespace kvr
