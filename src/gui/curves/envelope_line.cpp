#include "gui/curves/envelope_line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include <QPainter>
#include <QPen>

#include "core/datafile/cxfile.h"
#include "core/view/min_max_pyramid.h"
#include "core/view/value_scale.h"

using kvr::Time;

namespace {

// The record a time falls in, rounding down also before the file's start.
std::int64_t RecordAt(Time t, Time start, int interval) {
    const Time offset = t - start;
    const Time record = offset / interval;
    return offset < 0 && record * interval != offset ? record - 1 : record;
}

int ClampRecord(std::int64_t record) {
    return static_cast<int>(std::clamp<std::int64_t>(record, -1, INT32_MAX));
}

// Column boundaries are rounded to whole blocks of this many records: the largest pyramid
// block (leaves doubled) of at most an eighth of a column. A record then lands at most a
// sixteenth of a column away from where it belongs, which no pixel shows, and the
// pyramid answers every column from one level upward, reading memory in order, instead
// of walking down to single leaves at both ends of every column.
std::int64_t SnapBlock(std::int64_t recordsPerColumn) {
    std::int64_t block = 1;
    if (recordsPerColumn / 8 >= kvr::MinMaxPyramid::kLeafRecords) {
        block = kvr::MinMaxPyramid::kLeafRecords;
        while (block * 2 <= recordsPerColumn / 8) block *= 2;
    }
    return block;
}

std::int64_t Snap(std::int64_t record, std::int64_t block) {
    if (block == 1) return record;
    const std::int64_t down =
        record >= 0 ? record / block * block : -((-record + block - 1) / block) * block;
    return record - down >= block / 2 ? down + block : down;
}

// Percent of range as the file computes it for a single sample; monotonic, so the
// extremes of the values give the extremes of the percents.
float Percent(const kvr::CXFile& file, int c, float value) {
    const float low = file.GetRangeLow(c);
    const float high = file.GetRangeHigh(c);
    if (!(high > low)) return 0.0f;
    return (std::clamp(value, low, high) - low) / (high - low) * 100.0f;
}

}  // namespace

void AppendEnvelopeLine(const EnvelopeSource& source, int c, const std::vector<Time>& columnTimes,
                        QPolygon& points) {
    const kvr::CXFile& file = source.file;
    const int interval = file.GetInterval();
    if (interval <= 0 || columnTimes.size() < 2) return;
    const Time start = file.GetStartTime();
    const int columns = static_cast<int>(columnTimes.size()) - 1;
    const std::int64_t block = SnapBlock((RecordAt(columnTimes.back(), start, interval) -
                                          RecordAt(columnTimes[0], start, interval)) /
                                         columns);
    std::int64_t first = Snap(RecordAt(columnTimes[0], start, interval), block);
    for (int x = 0; x < columns; ++x) {
        const std::int64_t next =
            Snap(RecordAt(columnTimes[static_cast<std::size_t>(x) + 1], start, interval), block);
        const std::int64_t covered = next - first;
        if (covered <= 1) {
            // NaN marks "not written", as in the plain curve: the line joins across it.
            float value = NAN, percent = NAN;
            if (file.GetValue(c, columnTimes[static_cast<std::size_t>(x)], &value, &percent) != 0) {
                const float v = source.percent ? percent : value;
                if (!std::isnan(v)) points.append(QPoint(x, source.scale.Row(v)));
            }
        } else if (const auto range =
                       source.pyramid.Query(file, c, ClampRecord(first), ClampRecord(next))) {
            float low = range->low, high = range->high;
            if (source.percent) {
                low = Percent(file, c, low);
                high = Percent(file, c, high);
            }
            const int lowRow = source.scale.Row(low), highRow = source.scale.Row(high);
            // Enter the stroke at the end nearer the previous point, so the joins stay short.
            const bool lowFirst = points.isEmpty() || std::abs(points.back().y() - lowRow) <=
                                                          std::abs(points.back().y() - highRow);
            points.append(QPoint(x, lowFirst ? lowRow : highRow));
            if (lowRow != highRow) points.append(QPoint(x, lowFirst ? highRow : lowRow));
        }
        first = next;
    }
}

void DrawEnvelope(QPainter& painter, const QPolygon& points, const QColor& color, int width) {
    width = std::max(width, 1);
    const int left = (width - 1) / 2;
    // One column at a time: its rows so far, and the row the line enters and leaves by.
    struct Column {
        int x, top, bottom, in, out;
    };
    auto fill = [&](const Column& col) {
        painter.fillRect(col.x - left, col.top - left, width, col.bottom - col.top + width, color);
    };
    QPen joinPen(color, width);
    std::optional<Column> open;
    for (const QPoint& p : points) {
        if (open && open->x == p.x()) {
            open->top = std::min(open->top, p.y());
            open->bottom = std::max(open->bottom, p.y());
            open->out = p.y();
            continue;
        }
        Column next{p.x(), p.y(), p.y(), p.y(), p.y()};
        if (open && p.x() == open->x + 1) {
            // Each side of the join takes its half of the rows between them.
            const int mid = (open->out + next.in) / 2;
            open->top = std::min(open->top, mid);
            open->bottom = std::max(open->bottom, mid);
            next.top = std::min(next.top, mid);
            next.bottom = std::max(next.bottom, mid);
        } else if (open) {
            painter.setPen(joinPen);
            painter.drawLine(open->x, open->out, next.x, next.in);
        }
        if (open) fill(*open);
        open = next;
    }
    if (open) fill(*open);
}
