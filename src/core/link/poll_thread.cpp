#include "core/link/poll_thread.h"

#include <chrono>

namespace kvr {

PollThread::PollThread(CXLink& link, int version, int channels, int periodMs)
    : link_(link), periodMs_(periodMs), values_(version, channels) {}

PollThread::~PollThread() {
    Stop(-1);
    if (thread_.joinable()) thread_.join();
}

void PollThread::Start() {
    if (thread_.joinable()) return;
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

void PollThread::Run() {
    std::unique_lock state(stateMutex_);
    while (!stopRequested_) {
        state.unlock();
        const bool answered = values_.Poll(link_);
        state.lock();
        // The start waits for values the instrument really sent: a first record of zeros
        // would pass for a measurement. One that never answers ends the wait by counting
        // as lost.
        if (!firstData_ && (answered || !values_.CommunicationOk())) {
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

}  // namespace kvr
