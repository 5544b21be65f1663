#include "core/link/acquisition.h"

#include <algorithm>
#include <ctime>

#include "core/link/link_texts.h"
#include "core/link/live_record.h"
#include "core/link/realtime_config.h"

namespace kvr {

Acquisition::Acquisition() = default;

Acquisition::~Acquisition() {
    Stop();
    poll_.reset();
    link_.Disconnect();
}

StartResult Acquisition::ReadConfiguration(LinkProgress* progress,
                                           const std::atomic<bool>& cancel) {
    std::lock_guard lock(mutex_);
    if (acquiring_) return {StartStatus::kAlreadyConnected, {}};
    // A poll thread that outlived a wedged stop is still using the link.
    poll_.reset();
    if (link_.IsConnected()) return {StartStatus::kAlreadyConnected, {}};
    dataAvailable_ = false;
    recordCounter_ = 0;
    std::string message;
    const RealtimeConfigResult result =
        ReadRealtimeConfig(link_, param_, view_, file_, progress, cancel, &message);
    if (result != kRealtimeReady) {
        // Nothing of an earlier acquisition may pass for this one's data.
        file_.Close();
        saved_ = true;
        if (result == kRealtimeCancelled) return {StartStatus::kCancelled, {}};
        return {StartStatus::kFailed, message};
    }
    ResetLiveRecords(file_);
    saved_ = false;
    dataAvailable_ = true;
    return {StartStatus::kStarted, {}};
}

StartResult Acquisition::BeginPolling() {
    {
        std::lock_guard lock(mutex_);
        if (acquiring_) return {StartStatus::kAlreadyConnected, {}};
        if (!dataAvailable_ || !link_.IsConnected())
            return {StartStatus::kFailed, texts::kCommunicationFailed};
        poll_ = std::make_unique<PollThread>(link_, file_.GetVersion(), file_.GetChannelCount(),
                                             limits_.pollPeriodMs);
        poll_->Start();
    }
    // Waited for without the lock: a window's stop or tick must not queue behind it.
    const bool firstData = poll_->WaitFirstData(limits_.firstDataTimeoutMs);
    std::lock_guard lock(mutex_);
    if (!firstData || !poll_->CommunicationOk()) {
        if (poll_->Stop(limits_.stopTimeoutMs)) {
            poll_.reset();
            link_.Disconnect();
        }
        file_.Close();
        dataAvailable_ = false;
        saved_ = true;
        return {StartStatus::kFailed,
                firstData ? texts::kCommunicationFailed : texts::kPortNotResponding};
    }
    recordCounter_ = 0;
    acquiring_ = true;
    AppendLocked(std::time(nullptr));
    return {StartStatus::kStarted, {}};
}

StartResult Acquisition::Start(LinkProgress* progress, const std::atomic<bool>& cancel) {
    StartResult result = ReadConfiguration(progress, cancel);
    if (result.status != StartStatus::kStarted) return result;
    return BeginPolling();
}

TickResult Acquisition::RecordTick() {
    std::lock_guard lock(mutex_);
    TickResult result;
    if (!acquiring_) return result;
    if (!poll_->CommunicationOk()) {
        EndRecordingLocked();
        EndPollingLocked();
        result.status = TickStatus::kCommunicationLost;
        result.message = texts::kAcquisitionLost;
        return result;
    }
    result.index = AppendLocked(std::time(nullptr));
    result.status = TickStatus::kRecorded;
    if (recordCounter_ >= Capacity()) {
        EndRecordingLocked();
        EndPollingLocked();
        result.status = TickStatus::kFileFull;
        result.message = texts::kFileFull;
    }
    return result;
}

int Acquisition::AppendLocked(Time now) {
    const int index = recordCounter_++;
    AppendLiveRecord(file_, poll_->Latest(), index, now);
    return index;
}

std::string Acquisition::Stop() {
    std::lock_guard lock(mutex_);
    if (!acquiring_) return {};
    EndRecordingLocked();
    return EndPollingLocked();
}

void Acquisition::EndRecording() {
    std::lock_guard lock(mutex_);
    if (acquiring_) EndRecordingLocked();
}

std::string Acquisition::EndPolling() {
    std::lock_guard lock(mutex_);
    return EndPollingLocked();
}

void Acquisition::EndRecordingLocked() {
    acquiring_ = false;
    FinishLiveRecords(file_, poll_->Latest());
}

std::string Acquisition::EndPollingLocked() {
    if (!poll_) return {};
    // The thread still holds the link then; it is joined before the next start.
    if (!poll_->Stop(limits_.stopTimeoutMs)) return texts::kPortNotResponding;
    poll_.reset();
    link_.Disconnect();
    return {};
}

bool Acquisition::Save(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (acquiring_ || !dataAvailable_ || recordCounter_ == 0) return false;
    if (!file_.SaveAs(path)) return false;
    saved_ = true;
    return true;
}

int Acquisition::Capacity() const {
    const int capacity = file_.GetCapacity();
    return limits_.capacity > 0 ? std::min(limits_.capacity, capacity) : capacity;
}

bool Acquisition::CommunicationOk() const {
    std::lock_guard lock(mutex_);
    return poll_ && acquiring_ && poll_->CommunicationOk();
}

int Acquisition::Polls() const {
    std::lock_guard lock(mutex_);
    return poll_ ? poll_->Polls() : 0;
}

LiveSample Acquisition::Latest() const {
    std::lock_guard lock(mutex_);
    return poll_ ? poll_->Latest() : LiveSample{};
}

}  // namespace kvr
