#include "core/link/poll_thread.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace kvr {

namespace {

// Where the two 64-bit totals sit in the live reply.
constexpr int kTotalsOldFirmware = 36;  // file versions below 1003
constexpr int kTotalsNewFirmware = 32;  // versions 1003 and 1004

}  // namespace

PollThread::PollThread(CXLink& link, int version, int channels, int periodMs)
    : link_(link),
      version_(version),
      channels_(std::clamp(channels, 0, LiveSample::kSlots)),
      periodMs_(periodMs) {}

PollThread::~PollThread() {
    Stop(-1);
    if (thread_.joinable()) thread_.join();
}

void PollThread::Start() {
    if (thread_.joinable()) return;
    communicationOk_ = true;
    thread_ = std::thread([this] { Run(); });
}

bool PollThread::WaitFirstData(int timeoutMs) {
    std::unique_lock lock(stateMutex_);
    return stateChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [this] { return firstData_; });
}

bool PollThread::Stop(int timeoutMs) {
    if (!thread_.joinable()) return true;
    {
        std::unique_lock lock(stateMutex_);
        stopRequested_ = true;
        stateChanged_.notify_all();
        const auto ended = [this] { return finished_; };
        if (timeoutMs < 0)
            stateChanged_.wait(lock, ended);
        else if (!stateChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended))
            return false;
    }
    thread_.join();
    return true;
}

LiveSample PollThread::Latest() const {
    std::lock_guard lock(lock_);
    return latest_;
}

void PollThread::Run() {
    int failures = 0;
    std::unique_lock state(stateMutex_);
    while (!stopRequested_) {
        state.unlock();
        const bool answered = Poll(failures);
        state.lock();
        // The start waits for values the instrument really sent: a first record of zeros
        // would pass for a measurement. One that never answers ends the wait by counting
        // as lost.
        if (!firstData_ && (answered || !communicationOk_)) {
            firstData_ = true;
            stateChanged_.notify_all();
        }
        // The pause ends early on a stop, so stopping never waits for a whole period.
        stateChanged_.wait_for(state, std::chrono::milliseconds(periodMs_),
                               [this] { return stopRequested_; });
    }
    finished_ = true;
    stateChanged_.notify_all();
}

bool PollThread::Poll(int& failures) {
    const bool read = link_.ReadMemory(kLiveAddress, kLiveLength, {reply_, kLiveLength}) == 1;
    ++polls_;
    std::lock_guard lock(lock_);
    if (read) {
        std::memcpy(latest_.values, reply_, static_cast<std::size_t>(channels_) * sizeof(float));
        failures = 0;
    } else if (failures >= kFailuresToLose - 1) {
        communicationOk_ = false;
    } else {
        ++failures;
    }
    // A failed poll repeats the totals of the last good reply: the buffer keeps them.
    CopyTotals(reply_, latest_);
    return read;
}

bool PollThread::CopyTotals(const std::uint8_t* reply, LiveSample& sample) const {
    int at = 0;
    if (version_ < 1003)
        at = kTotalsOldFirmware;
    else if (version_ <= 1004)
        at = kTotalsNewFirmware;
    else
        return false;
    std::memcpy(&sample.flowTotal, reply + at, 8);
    std::memcpy(&sample.heatTotal, reply + at + 8, 8);
    return true;
}

}  // namespace kvr
