#include "core/view/curve_readout.h"

#include <algorithm>
#include <cstdio>

#include "core/datafile/config_record.h"
#include "core/datafile/gbk.h"
#include "core/datafile/lookup_tables.h"
#include "core/view/channel_text.h"

namespace kvr {

namespace {

constexpr std::uint8_t kShown = 1;
// Rows besides the channels: device, time, the blank row and the flow total.
constexpr int kFixedRows = 4;

int GbkLength(const std::string& utf8) { return static_cast<int>(Utf8ToGbk(utf8).size()); }

std::string TotalText(const char* caption, std::int64_t hundredths, const std::string& unit) {
    char text[96];
    std::snprintf(text, sizeof text, "%s:%.2f %s", caption, static_cast<double>(hundredths) * 0.01,
                  unit.c_str());
    return text;
}

}  // namespace

int CurveReadout::Width() const { return std::max(kMinWidth, 11 * textLength + 80); }

int CurveReadout::RowCount(int plotHeight) const {
    const int wanted = shownChannels + kFixedRows + (HasHeat() ? 1 : 0);
    return std::max(0, std::min(plotHeight / kRowHeight, wanted));
}

CurveReadout BuildCurveReadout(const CXFile& file, Time t) {
    CurveReadout readout;
    readout.deviceName = file.GetDeviceName();
    readout.timeText = FormatTime(t);
    readout.textLength = GbkLength(readout.deviceName) + 6;

    const int count = std::clamp(file.GetChannelCount(), 0, kMaxChannels);
    for (int c = 0; c < count; ++c) {
        const std::string name = file.GetChannelName(c);
        readout.textLength = std::max(readout.textLength, GbkLength(name) + 6);
        const ChannelDescriptor& channel = file.Header().channels[c];
        if (channel.showState != kShown) continue;
        ++readout.shownChannels;
        const std::optional<float> value = ChannelValue(file, c, t);
        if (!value) continue;
        ReadoutChannelRow row;
        row.channel = c;
        row.color = channel.color;
        char number[16];
        std::snprintf(number, sizeof number, "%02d ", c + 1);
        row.number = number;
        row.text = name + ": " + FormatChannelValue(file, c, *value) + " " + file.GetChannelUnit(c);
        row.alarm = IsOutsideAlarmBand(file, c, *value);
        readout.channels.push_back(std::move(row));
    }

    const ConfigRecord config(file);
    const FileHeader& header = file.Header();
    readout.flowTotal =
        TotalText("累积流量", header.flowTotal, FlowTotalUnitText(config.FlowTotalUnit()));
    if (config.HeatEnabled())
        readout.heatTotal =
            TotalText("累积热量", header.heatTotal, HeatTotalUnitText(config.HeatTotalUnit()));
    return readout;
}

}  // namespace kvr
