#include "gui/lists/grid_table_painter.h"

#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/datafile/channels.h"
#include "core/view/channel_text.h"

namespace {

const QColor kTextColor(0, 0, 0);
const QColor kAlarmColor(255, 0, 0);
constexpr int kCellFlags = Qt::AlignCenter | Qt::TextSingleLine;

void DrawCell(QPainter& painter, int left, int width, int y, int height, int inset,
              const QString& text) {
    painter.drawText(QRect(left + inset, y, width - 2 * inset, height), kCellFlags, text);
}

}  // namespace

int GridTableGeometry::ChannelLeft(int channel) const {
    if (channel < firstChannel) return -1;
    int left = widths[kSequenceColumn] + widths[kTimeColumn];
    for (int c = firstChannel; c < channel; ++c) left += widths[kFirstChannelColumn + c];
    return left;
}

void DrawGridHeader(QPainter& painter, const kvr::CXFile& file, const GridTableGeometry& g) {
    painter.setFont(g.headerFont);
    painter.setPen(kTextColor);
    DrawCell(painter, 0, g.widths[kSequenceColumn], 0, g.rowHeight, g.fixedHeaderInset,
             QStringLiteral("序号"));
    DrawCell(painter, g.widths[kSequenceColumn], g.widths[kTimeColumn], 0, g.rowHeight,
             g.fixedHeaderInset, QStringLiteral("时间"));
    const int channels = std::min(file.GetChannelCount(), kWidthSlots - kFirstChannelColumn - 1);
    int left = g.widths[kSequenceColumn] + g.widths[kTimeColumn];
    for (int c = g.firstChannel; c < channels && left < g.right; ++c) {
        const int width = g.widths[kFirstChannelColumn + c];
        if (kvr::IsChannelInUse(file, c))
            DrawCell(painter, left, width, 0, g.rowHeight, g.channelHeaderInset,
                     QString::fromStdString(kvr::ChannelHeading(file, c)));
        left += width;
    }
}

int DrawGridRows(QPainter& painter, const kvr::CXFile& file, const kvr::GridTimeline& line,
                 kvr::Time top, int maxRows, const GridTableGeometry& g) {
    painter.setFont(g.rowFont);
    painter.setPen(kTextColor);
    const int channels = std::min(file.GetChannelCount(), kWidthSlots - kFirstChannelColumn - 1);
    const kvr::Time span = line.RowSpan();
    // The rows from top down to the end of the file, at most maxRows.
    int rows = top > line.end ? 0 : std::max(maxRows, 0);
    if (rows > 0 && span > 0)
        rows = static_cast<int>(std::min<kvr::Time>(rows, (line.end - top) / span + 1));
    // The window's values are read channel by channel in one go; a channel's run is
    // rows long, at rows * (c - firstChannel).
    const auto run = static_cast<std::size_t>(rows);
    std::vector<float> values(run *
                              static_cast<std::size_t>(std::max(channels - g.firstChannel, 0)));
    std::vector<std::uint8_t> answered(values.size());
    const auto at = [&](int c, int row) {
        return run * static_cast<std::size_t>(c - g.firstChannel) + static_cast<std::size_t>(row);
    };
    int left = g.widths[kSequenceColumn] + g.widths[kTimeColumn];
    for (int c = g.firstChannel; c < channels && left < g.right; ++c) {
        if (rows > 0 && kvr::IsChannelInUse(file, c))
            file.ReadValues(c, top, span, rows, &values[at(c, 0)], &answered[at(c, 0)]);
        left += g.widths[kFirstChannelColumn + c];
    }
    kvr::Time t = top;
    for (int row = 0; row < rows; ++row, t += span) {
        const int y = g.rowHeight * (row + 1);
        DrawCell(painter, 0, g.widths[kSequenceColumn], y, g.rowHeight, g.cellInset,
                 QString::number(line.SequenceNumber(t)));
        DrawCell(painter, g.widths[kSequenceColumn], g.widths[kTimeColumn], y, g.rowHeight,
                 g.cellInset, QString::fromStdString(kvr::FormatTime(t)));
        left = g.widths[kSequenceColumn] + g.widths[kTimeColumn];
        for (int c = g.firstChannel; c < channels && left < g.right; ++c) {
            const int width = g.widths[kFirstChannelColumn + c];
            if (kvr::IsChannelInUse(file, c)) {
                QString text = QString::fromLatin1(kvr::kMissingValue);
                if (answered[at(c, row)]) {
                    const float value = values[at(c, row)];
                    text = QString::fromStdString(kvr::FormatChannelValue(file, c, value));
                    if (kvr::IsOutsideAlarmBand(file, c, value)) painter.setPen(kAlarmColor);
                }
                DrawCell(painter, left, width, y, g.rowHeight, g.cellInset, text);
                painter.setPen(kTextColor);
            }
            left += width;
        }
    }
    return rows;
}
