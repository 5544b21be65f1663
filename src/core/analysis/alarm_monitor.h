#pragma once
// Alarms while acquiring: each new record is checked against the limits its channels'
// descriptors carry, and every raise and clear comes out as an event. The realtime window,
// "kvrtool acquire" and "kvrtool collect" feed it record by record; AlarmLog writes the
// events beside the history file.
//
// Per channel and kind (low-low, low, high, high-high) an alarm is raised by a value beyond
// the limit (below a low limit, above a high one; a value equal to the limit is inside) and
// cleared once the value is back inside by the hysteresis (at or above low + hysteresis, at
// or below high - hysteresis), so a value wandering inside that band does not flap. Only the
// measured inputs in use are watched, and only when their high limit is above their low
// limit; the derived channels' limits are placeholders and raise nothing. Missing and
// non-finite samples change nothing.
#include <array>
#include <optional>
#include <vector>

#include "core/datafile/cxfile.h"
#include "core/datafile/lookup_tables.h"

namespace kvr {

struct AlarmEvent {
    Time time = 0;  // of the record that raised or cleared the alarm
    int channel = 0;
    AlarmKind kind = AlarmKind::kNone;
    float value = 0;  // the sample that caused the transition
    float limit = 0;  // the limit it crossed
    bool raised = true;
    Time duration = 0;  // seconds the alarm was raised, on clearing; 0 on raising
};

class AlarmMonitor {
public:
    // Takes the limits of the file's channels as they are now (the acquisition fills them
    // from the instrument before its first record); nothing is raised yet.
    explicit AlarmMonitor(const CXFile& file);

    // The transitions caused by the record at time t: values[c] is channel c's sample, for
    // count channels. Events come in channel order, and per channel low-low, low, high,
    // high-high.
    std::vector<AlarmEvent> Check(Time t, const float* values, int count);
    // The same for record index of the file.
    std::vector<AlarmEvent> CheckRecord(const CXFile& file, int index);

    bool Watches(int channel) const;
    // The alarms raised now, as the events that raised them, in the order of Check.
    std::vector<AlarmEvent> Active() const;

private:
    static constexpr int kKinds = 4;  // low-low, low, high, high-high
    struct Watch {
        std::array<std::optional<float>, kKinds> limits;  // unset: the kind is not watched
        float hysteresis = 0;
        std::array<std::optional<AlarmEvent>, kKinds> raised;
    };
    std::vector<std::optional<Watch>> channels_;
};

}  // namespace kvr
