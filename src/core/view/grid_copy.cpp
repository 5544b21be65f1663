#include "core/view/grid_copy.h"

#include <algorithm>

#include "core/view/channel_text.h"

namespace kvr {

namespace {

constexpr char kTimeHeading[] = "时间";
constexpr char kLineEnd[] = "\r\n";

}  // namespace

std::string BuildGridCopyText(const CXFile& file, Time a, Time b) {
    const Time earlier = std::min(a, b);
    const Time later = std::max(a, b);
    const int interval = std::max(file.GetInterval(), 1);
    const int channels = file.GetChannelCount();

    std::string text = kTimeHeading;
    text += '\t';
    for (int c = 0; c < channels; ++c) text += ChannelHeading(file, c) + '\t';
    text += kLineEnd;

    const auto rows = static_cast<std::size_t>((later - earlier) / interval + 1);
    text.reserve(text.size() + rows * (22 + 11 * static_cast<std::size_t>(channels)));
    for (Time t = earlier; t <= later; t += interval) {
        // The leading space keeps spreadsheets from turning the time into a number.
        text += ' ';
        text += FormatTime(t);
        for (int c = 0; c < channels; ++c) {
            text += '\t';
            text += ChannelValueText(file, c, t);
        }
        text += kLineEnd;
    }
    return text;
}

}  // namespace kvr
