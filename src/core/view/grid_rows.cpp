#include "core/view/grid_rows.h"

#include <algorithm>

namespace kvr {

Time GridTimeline::RowSpan() const {
    return static_cast<Time>(std::max(interval, 1)) * std::max(step, 1);
}

std::int64_t GridTimeline::SequenceNumber(Time t) const { return (t - start) / RowSpan() + 1; }

std::int64_t GridTimeline::ScreenRow(Time t, Time top) const {
    // Both terms are divided separately so that a row number is stable however far the
    // top has been scrolled.
    return (t - start) / RowSpan() - (top - start) / RowSpan() + 1;
}

Time GridTimeline::Clamp(Time t) const { return std::max(start, std::min(t, end)); }

Time GridTimeline::RowTime(Time top, std::int64_t row) const {
    return Clamp(top + (row - 1) * RowSpan());
}

Time GridTimeline::Scroll(Time top, std::int64_t rows) const {
    return Clamp(top + rows * RowSpan());
}

Time GridTimeline::SnapToRow(Time t) const {
    return Clamp(start + ((t - start) / RowSpan()) * RowSpan());
}

int GridTimeline::PageCount(Time top) const {
    if (top > end) return 0;
    const std::int64_t rows = (end - top) / RowSpan() + 1;
    return static_cast<int>((rows + kRowsPerPage - 1) / kRowsPerPage);
}

Time GridTimeline::FollowNewestTop(int clientHeight, int rowHeight) const {
    const int visibleRows = clientHeight / std::max(rowHeight, 1) - 4;
    return std::max(start, end - static_cast<Time>(visibleRows) * std::max(interval, 1));
}

int VerticalScrollRange(int recordCount) { return std::clamp(recordCount, 0, kMaxScrollRange); }

int ThumbPosition(const GridTimeline& line, Time top, int recordCount, int range) {
    if (recordCount <= 0) return 0;
    const double records = static_cast<double>((top - line.start) / std::max(line.interval, 1));
    const auto position = static_cast<std::int64_t>(records / recordCount * range);
    return static_cast<int>(std::clamp<std::int64_t>(position, 0, range));
}

Time ThumbTop(const GridTimeline& line, int position, int recordCount, int range) {
    if (range <= 0) return line.start;
    const auto record =
        static_cast<std::int64_t>(static_cast<double>(recordCount) * position / range);
    return std::min(line.start + record * std::max(line.interval, 1), line.end);
}

}  // namespace kvr
