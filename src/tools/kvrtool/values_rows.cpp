#include "tools/kvrtool/values_rows.h"

#include <cstdio>

namespace kvrtool {

namespace {

std::string Formatted(const std::string& format, float value) {
    char text[64];
    std::snprintf(text, sizeof text, format.c_str(), static_cast<double>(value));
    return text;
}

}  // namespace

std::string ValuesHeaderLine(const kvr::CXFile& file) {
    std::string line = "time";
    for (int c = 0; c < file.GetChannelCount(); ++c) {
        const std::string unit = file.GetChannelUnit(c);
        line += "," + file.GetChannelName(c) + (unit.empty() ? "" : "(" + unit + ")");
    }
    return line;
}

std::string ValuesRow(const kvr::CXFile& file, kvr::Time t, bool percent) {
    std::string line = kvr::FormatTime(t);
    for (int c = 0; c < file.GetChannelCount(); ++c) {
        float value = 0.0f, share = 0.0f;
        const bool present = file.GetValue(c, t, &value, &share) == 1 &&
                             kvr::IsLinearSignal(file.Header().channels[c].signalType);
        line += ',';
        if (!present)
            line += "----";
        else
            line += percent ? Formatted("%.4f", share) : Formatted(file.GetValueFormat(c), value);
    }
    return line;
}

}  // namespace kvrtool
