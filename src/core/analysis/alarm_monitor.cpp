#include "core/analysis/alarm_monitor.h"

#include <algorithm>
#include <cmath>

#include "core/datafile/config_record.h"
#include "core/datafile/file_info.h"

namespace kvr {
namespace {

constexpr AlarmKind kKindOrder[] = {AlarmKind::kLowLow, AlarmKind::kLow, AlarmKind::kHigh,
                                    AlarmKind::kHighHigh};

bool IsLow(AlarmKind kind) { return kind == AlarmKind::kLowLow || kind == AlarmKind::kLow; }

std::optional<float> Limit(float value) {
    return std::isfinite(value) ? std::optional<float>(value) : std::nullopt;
}

}  // namespace

AlarmMonitor::AlarmMonitor(const CXFile& file) {
    const int channels = std::min(file.GetChannelCount(), cfg::kInputChannels);
    channels_.resize(static_cast<std::size_t>(std::max(channels, 0)));
    for (int c = 0; c < channels; ++c) {
        const float low = file.GetAlarmLow(c);
        const float high = file.GetAlarmHigh(c);
        if (file.Header().channels[c].showState == kChannelNotInUse || !(high > low)) continue;
        Watch watch;
        watch.limits = {Limit(file.GetAlarmLowLow(c)), Limit(low), Limit(high),
                        Limit(file.GetAlarmHighHigh(c))};
        // A negative or unreadable hysteresis clears right at the limit.
        const float hysteresis = file.GetHysteresis(c);
        watch.hysteresis = std::isfinite(hysteresis) && hysteresis > 0 ? hysteresis : 0.0f;
        channels_[static_cast<std::size_t>(c)] = watch;
    }
}

bool AlarmMonitor::Watches(int channel) const {
    return channel >= 0 && channel < static_cast<int>(channels_.size()) &&
           channels_[static_cast<std::size_t>(channel)].has_value();
}

std::vector<AlarmEvent> AlarmMonitor::Check(Time t, const float* values, int count) {
    std::vector<AlarmEvent> events;
    const int channels = std::min(count, static_cast<int>(channels_.size()));
    for (int c = 0; c < channels; ++c) {
        auto& watch = channels_[static_cast<std::size_t>(c)];
        const float v = values[c];
        if (!watch || !std::isfinite(v)) continue;
        for (int k = 0; k < kKinds; ++k) {
            const auto& limit = watch->limits[static_cast<std::size_t>(k)];
            if (!limit) continue;
            const AlarmKind kind = kKindOrder[k];
            auto& raised = watch->raised[static_cast<std::size_t>(k)];
            if (!raised) {
                if (IsLow(kind) ? v < *limit : v > *limit) {
                    raised = AlarmEvent{t, c, kind, v, *limit, true, 0};
                    events.push_back(*raised);
                }
            } else if (IsLow(kind) ? v >= *limit + watch->hysteresis
                                   : v <= *limit - watch->hysteresis) {
                events.push_back(AlarmEvent{t, c, kind, v, *limit, false, t - raised->time});
                raised.reset();
            }
        }
    }
    return events;
}

std::vector<AlarmEvent> AlarmMonitor::CheckRecord(const CXFile& file, int index) {
    const Time t = file.GetStartTime() + static_cast<Time>(index) * file.GetInterval();
    std::vector<float> values(channels_.size(), std::nanf(""));
    for (std::size_t c = 0; c < values.size(); ++c)
        if (file.GetValue(static_cast<int>(c), t, &values[c], nullptr) != 1)
            values[c] = std::nanf("");
    return Check(t, values.data(), static_cast<int>(values.size()));
}

std::vector<AlarmEvent> AlarmMonitor::Active() const {
    std::vector<AlarmEvent> active;
    for (const auto& watch : channels_)
        if (watch)
            for (const auto& raised : watch->raised)
                if (raised) active.push_back(*raised);
    return active;
}

}  // namespace kvr
