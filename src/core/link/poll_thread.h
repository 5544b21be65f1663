#pragma once
// PollThread: reads the instrument's current values a few times a second while an
// acquisition runs. It only touches the link and the instrument's live values.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/link/cxlink.h"
#include "core/link/live_values.h"

namespace kvr {

class PollThread {
public:
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

    LiveSample Latest() const { return values_.Latest(); }
    bool CommunicationOk() const { return values_.CommunicationOk(); }
    int Polls() const { return values_.Polls(); }

private:
    void Run();

    CXLink& link_;
    const int periodMs_;
    LiveValues values_;

    std::mutex stateMutex_;
    std::condition_variable stateChanged_;
    bool stopRequested_ = false;
    bool firstData_ = false;
    bool finished_ = false;

    std::thread thread_;
};

}  // namespace kvr
