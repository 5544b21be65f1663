#include "core/view/grid_copy.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/view/channel_text.h"

namespace kvr {

namespace {

constexpr char kTimeHeading[] = "时间";
constexpr char kLineEnd[] = "\r\n";
// Rows read per channel in one go.
constexpr int kRunRows = 4096;
constexpr auto kRunSize = static_cast<std::size_t>(kRunRows);

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
    // The values are read a run of rows at a time, channel by channel.
    const std::size_t columns = static_cast<std::size_t>(std::max(channels, 0));
    std::vector<float> values(kRunSize * columns);
    std::vector<std::uint8_t> answered(values.size());
    for (Time first = earlier; first <= later; first += Time{kRunRows} * interval) {
        const auto count =
            static_cast<int>(std::min<Time>((later - first) / interval + 1, kRunRows));
        for (std::size_t c = 0; c < columns; ++c)
            file.ReadValues(static_cast<int>(c), first, interval, count,
                            values.data() + c * kRunSize, answered.data() + c * kRunSize);
        for (int row = 0; row < count; ++row) {
            // The leading space keeps spreadsheets from turning the time into a number.
            text += ' ';
            text += FormatTime(first + Time{row} * interval);
            for (std::size_t c = 0; c < columns; ++c) {
                text += '\t';
                const std::size_t at = c * kRunSize + static_cast<std::size_t>(row);
                text += answered[at] ? FormatChannelValue(file, static_cast<int>(c), values[at])
                                     : std::string(kMissingValue);
            }
            text += kLineEnd;
        }
    }
    return text;
}

}  // namespace kvr
