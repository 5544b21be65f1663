#include "core/view/curve_pages.h"

#include <algorithm>

namespace kvr {

namespace {

constexpr std::uint8_t kHidden = 0;
constexpr std::uint8_t kShown = 1;
constexpr std::uint8_t kNotInUse = 2;

int ChannelCount(const FileHeader& header) {
    return std::clamp(static_cast<int>(header.channelCount), 0, kMaxChannels);
}

// Shows first..last (inclusive, clipped to the channels) and hides every other channel.
void ShowOnly(FileHeader& header, int first, int last) {
    const int count = ChannelCount(header);
    for (int c = 0; c < count; ++c) {
        std::uint8_t& state = header.channels[c].showState;
        if (state == kNotInUse) continue;
        state = (c >= first && c <= last) ? kShown : kHidden;
    }
}

}  // namespace

void SetAllCurvesShown(FileHeader& header, bool shown) {
    const int count = ChannelCount(header);
    for (int c = 0; c < count; ++c) {
        std::uint8_t& state = header.channels[c].showState;
        if (state != kNotInUse) state = shown ? kShown : kHidden;
    }
}

int ShowNextFourCurves(FileHeader& header, int page) {
    const int count = ChannelCount(header);
    if (count == 0) return 0;
    page = std::clamp(page, 0, count - 1);
    const int end = std::min(page + 4, count);
    ShowOnly(header, page, end - 1);
    page += 4;
    return page >= count ? 0 : page;
}

int ShowPreviousFourCurves(FileHeader& header, int page) {
    const int count = ChannelCount(header);
    if (count == 0) return 0;
    page = std::clamp(page, 0, count - 1);
    ShowOnly(header, std::max(page - 3, 0), page);
    page -= 4;
    return page < 0 ? count - 1 : page;
}

}  // namespace kvr
