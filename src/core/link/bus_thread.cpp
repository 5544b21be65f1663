#include "core/link/bus_thread.h"

#include <algorithm>
#include <cstdio>

namespace kvr {

namespace {

using Clock = std::chrono::steady_clock;

// The longest the thread sleeps before it looks at its stations again.
constexpr auto kLongestWait = std::chrono::milliseconds(200);

}  // namespace

BusThread::BusThread(const ComParam& param, std::vector<BusStation*> stations, int delayScale,
                     int pollPeriodMs)
    : param_(param), pollPeriodMs_(pollPeriodMs) {
    for (BusStation* station : stations) slots_.push_back({station});
    link_.SetDelayScale(delayScale);
}

BusThread::~BusThread() { Stop(); }

void BusThread::Start() {
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
}

void BusThread::Stop() {
    {
        std::lock_guard lock(stopMutex_);
        stop_ = true;
    }
    stopChanged_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void BusThread::WaitUntil(SteadyTime deadline) {
    std::unique_lock lock(stopMutex_);
    stopChanged_.wait_until(lock, std::min(deadline, Clock::now() + kLongestWait),
                            [this] { return stop_.load(); });
}

void BusThread::Run() {
    while (!stop_) {
        if (!Turn()) {
            for (Slot& slot : slots_) slot.station->MarkLost();
            link_.Disconnect();
        }
        SteadyTime next = SteadyTime::max();
        for (const Slot& slot : slots_) {
            next = std::min(next, slot.station->RetryAt());
            if (slot.station->PolledValues()) next = std::min(next, slot.nextPoll);
        }
        WaitUntil(next);
    }
    link_.Disconnect();
}

bool BusThread::Turn() {
    bool anyLive = false;
    for (Slot& slot : slots_) {
        if (stop_) return true;
        const SteadyTime now = Clock::now();
        if (slot.station->WantsConfiguration(now)) {
            if (!link_.IsConnected() && !link_.Connect(param_)) {
                // Not there (yet): every waiting station tries again after its interval.
                for (Slot& other : slots_) other.station->Postpone(now);
                return true;
            }
            link_.SetAddress(slot.station->Settings().address);
            slot.station->ReadConfiguration(link_, stop_, now);
            slot.nextPoll = Clock::now();
        } else if (const auto values = slot.station->PolledValues();
                   values && now >= slot.nextPoll) {
            Poll(slot, *values);
        }
        if (link_.Port().LineLost()) return false;
        anyLive = anyLive || slot.station->PolledValues() != nullptr;
    }
    // Nobody answers: the port is opened afresh for the next try, so an adapter plugged in
    // again under the same name is found.
    if (!anyLive) link_.Disconnect();
    CheckSpeed();
    return true;
}

void BusThread::Poll(Slot& slot, LiveValues& values) {
    link_.SetAddress(slot.station->Settings().address);
    const SteadyTime start = Clock::now();
    slot.nextPoll = start + std::chrono::milliseconds(pollPeriodMs_);
    if (!values.Poll(link_)) return;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    slot.pollMs = slot.pollMs == 0 ? ms : 0.8 * slot.pollMs + 0.2 * ms;
}

void BusThread::CheckSpeed() {
    if (slowReported_) return;
    double roundMs = 0;
    int instruments = 0;
    int interval = 0;
    for (const Slot& slot : slots_) {
        if (slot.pollMs == 0) return;  // not every instrument measured yet
        roundMs += slot.pollMs;
        ++instruments;
        const int own = slot.station->Settings().interval;
        interval = interval == 0 ? own : std::min(interval, own);
    }
    if (instruments == 0 || roundMs <= interval * 1000.0) return;
    slowReported_ = true;
    std::fprintf(stderr,
                 "%s: 总线太慢：每台仪表轮询 %.0f ms × %d 台仪表 = %.0f ms，超过记录间隔 %d 秒\n",
                 param_.device.c_str(), roundMs / instruments, instruments, roundMs, interval);
}

}  // namespace kvr
