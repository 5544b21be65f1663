#include "gui/history/envelope_line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/view/value_scale.h"
#include "core/datafile/cxfile.h"
#include "core/view/min_max_pyramid.h"

using kvr::Time;

namespace {

// The record a time falls in, rounding down also before the file's start.
std::int64_t RecordAt(Time t, Time start, int interval) {
    const Time offset = t - start;
    const Time record = offset / interval;
    return offset < 0 && record * interval != offset ? record - 1 : record;
}

int ClampRecord(std::int64_t record) { return static_cast<int>(std::clamp<std::int64_t>(record, -1, INT32_MAX)); }

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
    std::int64_t first = RecordAt(columnTimes[0], start, interval);
    for (int x = 0; x < columns; ++x) {
        const std::int64_t next = RecordAt(columnTimes[static_cast<std::size_t>(x) + 1], start, interval);
        const std::int64_t covered = next - first;
        if (covered <= 1) {
            // NaN marks "not written", as in the plain curve: the line joins across it.
            float value = NAN, percent = NAN;
            if (file.GetValue(c, columnTimes[static_cast<std::size_t>(x)], &value, &percent) != 0) {
                const float v = source.percent ? percent : value;
                if (!std::isnan(v)) points.append(QPoint(x, source.scale.Row(v)));
            }
        } else if (const auto range = source.pyramid.Query(file, c, ClampRecord(first), ClampRecord(next))) {
            float low = range->low, high = range->high;
            if (source.percent) {
                low = Percent(file, c, low);
                high = Percent(file, c, high);
            }
            const int lowRow = source.scale.Row(low), highRow = source.scale.Row(high);
            // Enter the stroke at the end nearer the previous point, so the joins stay short.
            const bool lowFirst = points.isEmpty() || std::abs(points.back().y() - lowRow) <= std::abs(points.back().y() - highRow);
            points.append(QPoint(x, lowFirst ? lowRow : highRow));
            if (lowRow != highRow) points.append(QPoint(x, lowFirst ? highRow : lowRow));
        }
        first = next;
    }
}
