#include "core/view/channel_text.h"

#include <cstdio>

namespace kvr {

std::string FormatChannelValue(const CXFile& file, int channel, float value) {
    const std::string format = file.GetValueFormat(channel);
    char text[64];
    // The format comes from the file layer and holds exactly one float conversion.
    std::snprintf(text, sizeof text, format.empty() ? "%.2f" : format.c_str(),
                  static_cast<double>(value));
    return text;
}

std::optional<float> ChannelValue(const CXFile& file, int channel, Time t) {
    float value = 0.0f;
    if (file.GetValue(channel, t, &value, nullptr) == 0) return std::nullopt;
    return value;
}

std::string ChannelValueText(const CXFile& file, int channel, Time t) {
    const std::optional<float> value = ChannelValue(file, channel, t);
    return value ? FormatChannelValue(file, channel, *value) : std::string(kMissingValue);
}

bool IsOutsideAlarmBand(const CXFile& file, int channel, float value) {
    const float low = file.GetAlarmLow(channel);
    const float high = file.GetAlarmHigh(channel);
    return high > low && (value < low || value > high);
}

}  // namespace kvr
