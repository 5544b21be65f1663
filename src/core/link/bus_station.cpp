#include "core/link/bus_station.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/link/link_texts.h"
#include "core/link/live_record.h"
#include "core/link/live_recovery.h"
#include "core/link/realtime_config.h"
#include "core/settings/view_def.h"

namespace kvr {

namespace {

int DateOf(Time t) {
    const CalendarFields f = SplitTime(t);
    return f.year * 10000 + f.month * 100 + f.day;
}

// Messages go to the standard error one line at a time, from any thread.
void Log(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

}  // namespace

bool CrossesRotation(Time first, Time t, int rotateHour) {
    if (rotateHour < 0) return false;
    CalendarFields boundary = SplitTime(first);
    boundary.hour = rotateHour;
    boundary.minute = boundary.second = 0;
    Time next = MakeTime(boundary);
    if (next <= first) {
        ++boundary.day;  // mktime carries it into the next month or year
        next = MakeTime(boundary);
    }
    return t >= next;
}

BusStation::BusStation(StationSettings settings) : settings_(std::move(settings)) {}

BusStation::~BusStation() { Finish(); }

std::string BusStation::BufferPath() const {
    return settings_.folder + "/" + settings_.name + ".tmp";
}

std::vector<std::string> BusStation::RecoverBuffers() {
    // The live buffer, and any buffer set aside after a failed save: only this instrument's
    // files are in its folder.
    std::vector<std::string> buffers;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(settings_.folder, error))
        if (entry.path().extension() == ".tmp") buffers.push_back(entry.path().string());
    std::sort(buffers.begin(), buffers.end());
    std::vector<std::string> results;
    for (const std::string& buffer : buffers) {
        const std::string result = RecoverBuffer(buffer);
        if (!result.empty()) results.push_back(result);
    }
    return results;
}

std::string BusStation::RecoverBuffer(const std::string& buffer) {
    const std::optional<UnsavedRecords> found = FindUnsavedRecords(buffer);
    if (!found) {
        ::unlink(buffer.c_str());
        return {};
    }
    // A buffer saved just before the kill, and not yet emptied, is already in its file.
    CXFile saved;
    if (saved.Open(HistoryBasePath(settings_.folder, settings_.name, found->start) + ".FDZ") == 1 &&
        saved.GetRecordCount() == found->count && saved.GetStartTime() == found->start) {
        ::unlink(buffer.c_str());
        return {};
    }
    const std::string path = HistoryFilePath(settings_.folder, settings_.name, found->start);
    if (RecoverLiveBuffer(buffer, path).status != RecoverStatus::kSaved)
        return std::string("保存文件失败！ ") + path;
    ::unlink(buffer.c_str());
    return path;
}

bool BusStation::WantsConfiguration(SteadyTime now) const {
    std::lock_guard lock(mutex_);
    return state_ == State::kWaiting && now >= retryAt_;
}

SteadyTime BusStation::RetryAt() const {
    std::lock_guard lock(mutex_);
    return state_ == State::kWaiting ? retryAt_ : SteadyTime::max();
}

bool BusStation::ReadConfiguration(CXLink& link, const std::atomic<bool>& cancel, SteadyTime now) {
    auto file = std::make_unique<CXFile>();
    file->SetTempFilePath(BufferPath());
    ViewDef view;
    view.realtimeInterval = settings_.interval;
    std::string message;
    const bool ready = ReadRealtimeConfigOnLink(link, view, *file, nullptr, cancel, &message,
                                                settings_.realtimeOnly) == kRealtimeReady;
    if (ready) ResetLiveRecords(*file);
    // A wrong instrument is said once, not at every retry.
    const bool wrongFamily = !ready && message.starts_with(texts::kNotRealtimeFamily);
    if (wrongFamily && message != refusal_) Log(settings_.name + ": " + message);
    refusal_ = wrongFamily ? message : std::string();
    std::lock_guard lock(mutex_);
    if (!ready) {
        retryAt_ = now + std::chrono::seconds(settings_.reconnectSec);
        return false;
    }
    file_ = std::move(file);
    values_ = std::make_shared<LiveValues>(file_->GetVersion(), file_->GetChannelCount());
    state_ = State::kLive;
    return true;
}

void BusStation::Postpone(SteadyTime now) {
    std::lock_guard lock(mutex_);
    if (state_ == State::kWaiting && now >= retryAt_)
        retryAt_ = now + std::chrono::seconds(settings_.reconnectSec);
}

std::shared_ptr<LiveValues> BusStation::PolledValues() const {
    std::lock_guard lock(mutex_);
    if (state_ != State::kLive || !values_ || !values_->CommunicationOk()) return nullptr;
    return values_;
}

void BusStation::MarkLost() {
    std::lock_guard lock(mutex_);
    if (values_) values_->MarkLost();
}

void BusStation::Step(SteadyTime now, Time wall) {
    std::shared_ptr<LiveValues> values;
    {
        std::lock_guard lock(mutex_);
        if (state_ != State::kLive) return;
        values = values_;
    }
    if (!recording_) {
        if (!values->CommunicationOk()) return EndFile(now);
        if (!values->Answered()) return;
        recording_ = true;
        index_ = 0;
        nextDue_ = now;
        nextWall_ = wall;
    }
    while (recording_ && now >= nextDue_) {
        maxTickDelayMs_ = std::max<long>(
            maxTickDelayMs_,
            std::chrono::duration_cast<std::chrono::milliseconds>(now - nextDue_).count());
        if (!values->CommunicationOk()) {
            ++gaps_;
            return EndFile(now);
        }
        if (index_ > 0 && CrossesRotation(fileStart_, nextWall_, settings_.rotateHour))
            SaveAndRestart();
        StoreRecord(nextWall_);
        if (index_ >= Capacity()) SaveAndRestart();
        nextDue_ += std::chrono::seconds(settings_.interval);
        nextWall_ += settings_.interval;
    }
}

void BusStation::StoreRecord(Time wall) {
    if (index_ >= Capacity()) return;  // full, and the save failed: nowhere to put it
    std::shared_ptr<LiveValues> values;
    {
        std::lock_guard lock(mutex_);
        values = values_;
    }
    if (index_ == 0) {
        fileStart_ = wall;
        filePath_ = HistoryFilePath(settings_.folder, settings_.name, wall);
    }
    AppendLiveRecord(*file_, values->Latest(), index_, wall);
    if (observer_) observer_(*file_, index_, filePath_);
    ++index_;
    lastRecord_ = wall;
    const int date = DateOf(wall);
    if (date != today_) {
        today_ = date;
        recordsToday_ = 0;
    }
    ++recordsToday_;
}

bool BusStation::SaveRecords() {
    std::shared_ptr<LiveValues> values;
    {
        std::lock_guard lock(mutex_);
        values = values_;
    }
    FinishLiveRecords(*file_, values ? values->Latest() : LiveSample{});
    if (file_->SaveAs(filePath_)) {
        saveFailed_ = false;
        return true;
    }
    if (!saveFailed_) Log(settings_.name + ": 保存文件失败！ " + filePath_);
    saveFailed_ = true;
    return false;
}

void BusStation::SaveAndRestart() {
    if (index_ == 0 || !SaveRecords()) return;
    ResetLiveRecords(*file_);
    index_ = 0;
}

void BusStation::EndFile(SteadyTime now) {
    if (recording_ && index_ > 0 && !SaveRecords()) {
        // The buffer is set aside for the recovery at the next start: the next file of this
        // instrument starts in a new buffer under the usual name.
        const std::string aside =
            UnusedPath(HistoryBasePath(settings_.folder, settings_.name, fileStart_), ".tmp");
        if (std::rename(BufferPath().c_str(), aside.c_str()) == 0)
            Log(settings_.name + ": buffer kept for the next start: " + aside);
        else
            (void)file_.release();  // kept open: closing it would delete the records
    }
    recording_ = false;
    index_ = 0;
    std::lock_guard lock(mutex_);
    if (values_) pastErrors_ += values_->FailedPolls();
    values_.reset();
    file_.reset();
    state_ = State::kWaiting;
    retryAt_ = now + std::chrono::seconds(settings_.reconnectSec);
}

SteadyTime BusStation::NextDue() const {
    if (recording_) return nextDue_;
    std::lock_guard lock(mutex_);
    // Live but not yet recording: the first answered poll is looked for soon.
    return state_ == State::kLive ? std::chrono::steady_clock::now() + std::chrono::milliseconds(50)
                                  : SteadyTime::max();
}

void BusStation::Finish() {
    bool live = false;
    {
        std::lock_guard lock(mutex_);
        live = state_ == State::kLive;
    }
    if (live) EndFile(std::chrono::steady_clock::now());
}

StationStatus BusStation::Status() const {
    StationStatus status;
    status.recording = recording_;
    status.lastRecord = lastRecord_;
    status.recordsToday = recordsToday_;
    status.gaps = gaps_;
    status.maxTickDelayMs = maxTickDelayMs_;
    if (recording_ && index_ > 0) status.file = filePath_.substr(settings_.folder.size() + 1);
    std::lock_guard lock(mutex_);
    status.communicationErrors = pastErrors_ + (values_ ? values_->FailedPolls() : 0);
    return status;
}

int BusStation::Capacity() const {
    const int capacity = file_ ? file_->GetCapacity() : 0;
    return settings_.recordsPerFile > 0 ? std::min(settings_.recordsPerFile, capacity) : capacity;
}

}  // namespace kvr
