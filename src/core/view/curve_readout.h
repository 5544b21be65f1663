#pragma once
// The texts of the read-out box beside the curve cursor: device, cursor time, the value of
// every shown channel, then the flow and heat totals with their units.
#include <cstdint>
#include <string>
#include <vector>

#include "core/datafile/cxfile.h"

namespace kvr {

struct ReadoutChannelRow {
    int channel = 0;
    std::uint32_t color = 0;  // COLORREF of the curve
    std::string number;       // "%02d " with the channel number from 1
    std::string text;         // "name: value unit"
    bool alarm = false;       // outside a non-empty alarm band: written in red
};

struct CurveReadout {
    static constexpr int kRowHeight = 18;
    static constexpr int kMinWidth = 160;

    std::string deviceName;
    std::string timeText;  // the cursor time
    // Shown channels that have a value at the cursor time, in file order.
    std::vector<ReadoutChannelRow> channels;
    std::string flowTotal;  // "累积流量:%.2f unit"
    std::string heatTotal;  // empty when the heat function is off
    int shownChannels = 0;  // channels in display state 1, with or without a value
    // Longest of the device name and every channel name, in GBK bytes, plus 6.
    int textLength = 0;

    bool HasHeat() const { return !heatTotal.empty(); }
    int Width() const;
    // Rows of kRowHeight pixels the box gets in a plot plotHeight pixels tall.
    int RowCount(int plotHeight) const;
};

CurveReadout BuildCurveReadout(const CXFile& file, Time t);

}  // namespace kvr
