#pragma once
// LiveValues: one instrument's current values as its polls bring them. Whoever polls (the
// realtime window's poll thread, or a bus thread taking several instruments in turn) calls
// Poll; the record step reads Latest from any thread, so the values and the totals of one
// poll always travel together.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "core/link/cxlink.h"

namespace kvr {

// What the newest poll brought: the channel values and the two cumulative totals.
struct LiveSample {
    static constexpr int kSlots = 32;  // a 128-byte record buffer
    float values[kSlots] = {};
    std::int64_t flowTotal = 0;
    std::int64_t heatTotal = 0;
};

class LiveValues {
public:
    static constexpr std::uint16_t kLiveAddress = 0x0100;
    static constexpr std::uint16_t kLiveLength = 52;
    // Failed polls in a row after which communication counts as lost.
    static constexpr int kFailuresToLose = 5;

    // version selects where the reply holds the totals; channels how many values it holds.
    LiveValues(int version, int channels);

    // One read of the live values over link, which must address this instrument. False when
    // the instrument did not answer: the sample keeps the last reply's values then.
    bool Poll(CXLink& link);
    // Counts as lost at once (the port has gone).
    void MarkLost() { communicationOk_ = false; }

    LiveSample Latest() const;
    bool CommunicationOk() const { return communicationOk_; }
    // True once a poll was answered.
    bool Answered() const { return answered_; }
    int Polls() const { return polls_; }
    // Polls that brought no answer, over the whole life of the values.
    int FailedPolls() const { return failedPolls_; }

private:
    // Copies the totals out of a reply, by file version; false when the version has none.
    bool CopyTotals(const std::uint8_t* reply, LiveSample& sample) const;

    const int version_;
    const int channels_;
    std::uint8_t reply_[kLiveLength] = {};  // only the polling thread touches it
    int failures_ = 0;                      // likewise

    mutable std::mutex lock_;  // guards latest_
    LiveSample latest_;
    std::atomic<bool> communicationOk_{true};
    std::atomic<bool> answered_{false};
    std::atomic<int> polls_{0};
    std::atomic<int> failedPolls_{0};
};

}  // namespace kvr
