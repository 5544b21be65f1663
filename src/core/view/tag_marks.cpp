#include "core/view/tag_marks.h"

#include <cmath>
#include <cstdio>

#include "core/datafile/gbk.h"
#include "core/view/channel_text.h"

namespace kvr {

int MarkTextY(int pointY, int plotHeight) {
    return pointY + 2 > plotHeight - 20 ? pointY - 18 : pointY + 2;
}

std::optional<int> ValueToPlotY(double value, double visibleLow, double visibleHigh,
                                int plotHeight) {
    const double span = visibleHigh - visibleLow;
    if (span == 0.0 || !std::isfinite(span)) return std::nullopt;
    const double y = plotHeight - plotHeight * (value - visibleLow) / span;
    // Far off-plot levels are not drawn rather than wrapped around by the conversion.
    if (!std::isfinite(y) || std::fabs(y) > 1.0e6) return std::nullopt;
    return static_cast<int>(std::trunc(y));
}

std::optional<double> ValueLabelLevel(const CXFile& file, const ValueLabel& label,
                                      bool percentMode) {
    const double value = label.value;
    if (!percentMode) return value;
    const double low = file.GetRangeLow(0);
    const double high = file.GetRangeHigh(0);
    if (high == low) return std::nullopt;
    return (value - low) / (high - low) * 100.0;
}

std::string ValueLabelText(const ValueLabel& label) {
    char value[64];
    std::snprintf(value, sizeof value, "%.2f", static_cast<double>(label.value));
    return FieldToUtf8(label.name, sizeof label.name) + value;
}

std::string TagTimeText(Time t, int xAxisStyle) {
    const std::string full = FormatTime(t);
    // The short axis style already shows only times of day, so the tag adds the date;
    // the long style shows dates on the axis and the tag needs only the time.
    return xAxisStyle == 0 ? full : full.substr(11);
}

std::string TagValueText(const CXFile& file, int channel, float value) {
    return FormatChannelValue(file, channel, value) + file.GetChannelUnit(channel);
}

}  // namespace kvr
