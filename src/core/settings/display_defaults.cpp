#include "core/settings/display_defaults.h"

namespace kvr {

namespace {
constexpr char kRecordIntervalOutOfRange[] = "实时记录间隔必须在1到65535秒之间！";
}  // namespace

void ApplyDisplayDefaults(const ViewDef& view, FileHeader& header) {
    header.xMode = view.xMode;
    header.yMode = view.yMode;
    header.yLow = view.yLow;
    header.yHigh = view.yHigh;
    header.gridCount1 = view.gridCount1;
    header.gridCount2 = view.gridCount2;
    header.gridColor = view.gridColor;
    header.backgroundColor = view.backgroundColor;
    header.showGrid = 1;
}

std::uint32_t DefaultCurveColor(const ViewDef& view, int channel) {
    return view.curveColors[static_cast<unsigned>(channel) % 8];
}

void RestoreDefaults(FileInfo& info, const ViewDef& defaults) {
    info.xMode = defaults.xMode;
    info.yMode = defaults.yMode;
    info.yLow = defaults.yLow;
    info.yHigh = defaults.yHigh;
    info.gridCount1 = defaults.gridCount1;
    info.gridCount2 = defaults.gridCount2;
    info.gridColor = defaults.gridColor;
    info.backgroundColor = defaults.backgroundColor;
    info.showGrid = true;
    for (std::size_t c = 0; c < info.channels.size(); ++c) {
        ChannelInfo& channel = info.channels[c];
        channel.color = DefaultCurveColor(defaults, static_cast<int>(c));
        if (channel.showState != kChannelNotInUse) channel.showState = 1;
    }
}

std::optional<std::string> CheckRecordInterval(int seconds) {
    if (seconds >= 1 && seconds <= kMaxRecordInterval) return std::nullopt;
    return std::string(kRecordIntervalOutOfRange);
}

}  // namespace kvr
