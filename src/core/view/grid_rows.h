#pragma once
// The data list is laid on a time line rather than on record indices: each row is `step`
// records after the one above it, and a moment without a stored record still has a row.
// This is the arithmetic of that line, shared by the screen grid, its printing and tests.
#include <cstdint>

#include "core/datafile/time.h"

namespace kvr {

struct GridTimeline {
    Time start = 0;
    Time end = 0;
    int interval = 1;  // seconds per record, at least 1
    int step = 1;      // records per row, at least 1

    static constexpr int kRowsPerPage = 40;

    // Seconds between two rows.
    Time RowSpan() const;
    // 1-based number of the row holding t; counts rows, not records.
    std::int64_t SequenceNumber(Time t) const;
    // Screen row of t below the header (1 = first data row) when `top` is the first
    // visible row; less than 1 above the window.
    std::int64_t ScreenRow(Time t, Time top) const;
    // Time of screen row `row` (1 = first data row), clamped into the file.
    Time RowTime(Time top, std::int64_t row) const;
    // Moves the top row by `rows` (negative = up), clamped into the file.
    Time Scroll(Time top, std::int64_t rows) const;
    Time Clamp(Time t) const;
    // The start of the row (on the current row grid) that contains t, clamped.
    Time SnapToRow(Time t) const;
    // Pages of continuous printing from `top` to the end, `kRowsPerPage` rows each.
    int PageCount(Time top) const;
    // Top row that keeps the newest record in view in a window `clientHeight` pixels
    // tall (rows of `rowHeight`, the header and a margin excluded).
    Time FollowNewestTop(int clientHeight, int rowHeight) const;
};

// The vertical scroll bar covers at most this many positions.
inline constexpr int kMaxScrollRange = 0x7FFF;

int VerticalScrollRange(int recordCount);
// Thumb position of a top row; a file of recordCount records spans 0 … range.
int ThumbPosition(const GridTimeline& line, Time top, int recordCount, int range);
// Top row for a dragged thumb; the row step is not applied, as the thumb addresses records.
Time ThumbTop(const GridTimeline& line, int position, int recordCount, int range);

}  // namespace kvr
