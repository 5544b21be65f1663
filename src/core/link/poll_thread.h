#pragma once
// PollThread: reads the instrument's current values a few times a second while an
// acquisition runs. It only touches the link and the latest sample; the record step copies
// the sample under the same lock, so the values and the totals of one poll always travel
// together.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "core/datafile/layout.h"
#include "core/link/cxlink.h"

namespace kvr {

// What the newest poll brought: the channel values and the two cumulative totals.
struct LiveSample {
    static constexpr int kSlots = 32;  // a 128-byte record buffer
    float values[kSlots] = {};
    std::int64_t flowTotal = 0;
    std::int64_t heatTotal = 0;
};

class PollThread {
public:
    static constexpr std::uint16_t kLiveAddress = 0x0100;
    static constexpr std::uint16_t kLiveLength = 52;
    // Failed polls in a row after which communication counts as lost.
    static constexpr int kFailuresToLose = 5;

    // The link must be connected and outlive the thread. version selects where the reply
    // holds the totals; channels how many values it holds.
    PollThread(CXLink& link, int version, int channels, int periodMs = 100);
    // Stops and joins.
    ~PollThread();
    PollThread(const PollThread&) = delete;
    PollThread& operator=(const PollThread&) = delete;

    void Start();
    // True once a poll brought values or communication counted as lost; false when
    // timeoutMs passed.
    bool WaitFirstData(int timeoutMs);
    // Asks the thread to end and waits up to timeoutMs; true when it has ended. A thread
    // that has not ended yet is joined by the destructor.
    bool Stop(int timeoutMs);

    LiveSample Latest() const;
    bool CommunicationOk() const { return communicationOk_; }
    int Polls() const { return polls_; }

private:
    void Run();
    // False when the instrument did not answer.
    bool Poll(int& failures);
    // Copies the totals out of a reply, by file version; false when the version has none.
    bool CopyTotals(const std::uint8_t* reply, LiveSample& sample) const;

    CXLink& link_;
    const int version_;
    const int channels_;
    const int periodMs_;
    std::uint8_t reply_[kLiveLength] = {};  // only the poll thread touches it

    mutable std::mutex lock_;  // guards latest_
    LiveSample latest_;

    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    bool stopRequested_ = false;
    bool firstData_ = false;
    bool finished_ = false;

    std::atomic<bool> communicationOk_{true};
    std::atomic<int> polls_{0};
    std::thread thread_;
};

}  // namespace kvr
