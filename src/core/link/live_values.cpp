#include "core/link/live_values.h"

#include <algorithm>
#include <cstring>

namespace kvr {

namespace {

// Where the two 64-bit totals sit in the live reply.
constexpr int kTotalsOldFirmware = 36;  // file versions below 1003
constexpr int kTotalsNewFirmware = 32;  // versions 1003 and 1004

}  // namespace

LiveValues::LiveValues(int version, int channels)
    : version_(version), channels_(std::clamp(channels, 0, LiveSample::kSlots)) {}

bool LiveValues::Poll(CXLink& link) {
    const bool read = link.ReadMemory(kLiveAddress, kLiveLength, {reply_, kLiveLength}) == 1;
    ++polls_;
    std::lock_guard lock(lock_);
    if (read) {
        std::memcpy(latest_.values, reply_, static_cast<std::size_t>(channels_) * sizeof(float));
        failures_ = 0;
        answered_ = true;
    } else {
        ++failedPolls_;
        if (failures_ >= kFailuresToLose - 1)
            communicationOk_ = false;
        else
            ++failures_;
    }
    // A failed poll repeats the totals of the last good reply: the buffer keeps them.
    CopyTotals(reply_, latest_);
    return read;
}

LiveSample LiveValues::Latest() const {
    std::lock_guard lock(lock_);
    return latest_;
}

bool LiveValues::CopyTotals(const std::uint8_t* reply, LiveSample& sample) const {
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
