#pragma once
// How a channel and its values are written wherever records are shown as text: the data
// list, its copies and printouts, and the tags on the curves.
#include <optional>
#include <string>

#include "core/datafile/channels.h"
#include "core/datafile/cxfile.h"

namespace kvr {

// Shown for a moment without a stored record.
inline constexpr char kMissingValue[] = "----";

// The value with the channel's own format (decimals, scientific notation).
std::string FormatChannelValue(const CXFile& file, int channel, float value);

// The engineering value of channel at t, or nothing when no record is stored there.
std::optional<float> ChannelValue(const CXFile& file, int channel, Time t);

// The formatted value of channel at t, or "----".
std::string ChannelValueText(const CXFile& file, int channel, Time t);

// True when the value lies outside the alarm band; a band whose high limit is not above
// its low limit marks nothing.
bool IsOutsideAlarmBand(const CXFile& file, int channel, float value);

}  // namespace kvr
