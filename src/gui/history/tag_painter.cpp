#include "gui/history/tag_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <cmath>

#include "core/analysis/channel_text.h"
#include "core/analysis/tag_marks.h"

namespace {

constexpr std::uint8_t kChannelShown = 1;
constexpr int kMarkFontPixels = 12;
constexpr int kTextOffset = 2;

QFont MarkFont() {
    QFont font;
    font.setPixelSize(kMarkFontPixels);
    return font;
}

// Text placed by its top-left corner.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text) {
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

// Pen OR (NOT screen): with the inverse background colour the mark shows as that colour
// on the background and stays visible over any curve.
void BeginMergePenNot(QPainter& painter, const QColor& color, Qt::PenStyle style) {
    painter.setCompositionMode(QPainter::RasterOp_SourceOrNotDestination);
    painter.setPen(QPen(color, 0, style));
}

}  // namespace

QColor InverseOfColorref(std::uint32_t colorref) {
    const std::uint32_t inverse = 0xFFFFFFu - (colorref & 0xFFFFFFu);
    return QColor(static_cast<int>(inverse & 0xFF), static_cast<int>((inverse >> 8) & 0xFF),
                  static_cast<int>((inverse >> 16) & 0xFF));
}

void DrawTags(QPainter& painter, const kvr::CXFile& file, const CurvePlotFrame& frame) {
    if (!frame.timeToPixel) return;
    const QColor color = InverseOfColorref(frame.background.value_or(file.Header().backgroundColor));
    const int xAxisStyle = file.Header().xMode;
    painter.save();
    painter.setFont(MarkFont());
    for (int i = 0; i < file.GetTagCount(); ++i) {
        const kvr::Time t = file.GetTag(i);
        if (t < frame.windowStart || t > frame.windowEnd) continue;
        const int x = frame.timeToPixel(t);
        BeginMergePenNot(painter, color, Qt::SolidLine);
        painter.drawLine(x, 0, x, frame.height);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setPen(color);
        for (int c = 0; c < file.GetChannelCount() && c < kvr::kMaxChannels; ++c) {
            if (file.Header().channels[c].showState != kChannelShown) continue;
            // NaN marks "not written": a signal the file cannot scale has no reading.
            float value = NAN;
            float percent = NAN;
            if (file.GetValue(c, t, &value, &percent) == 0 || std::isnan(value)) continue;
            const std::optional<int> y = kvr::ValueToPlotY(frame.percentMode ? percent : value,
                                                           frame.visibleLow, frame.visibleHigh,
                                                           frame.height);
            if (!y) continue;
            DrawTextAt(painter, x + kTextOffset, kvr::MarkTextY(*y, frame.height),
                       QString::fromStdString(kvr::TagValueText(file, c, value)));
        }
        DrawTextAt(painter, x + kTextOffset, kTextOffset,
                   QString::fromStdString(kvr::TagTimeText(t, xAxisStyle)));
    }
    painter.restore();
}

void DrawValueLabels(QPainter& painter, const kvr::CXFile& file, const CurvePlotFrame& frame) {
    const QColor color = InverseOfColorref(frame.background.value_or(file.Header().backgroundColor));
    painter.save();
    painter.setFont(MarkFont());
    for (const kvr::ValueLabel& label : file.Header().labels) {
        if (!label.shown) continue;
        const std::optional<double> level = kvr::ValueLabelLevel(file, label, frame.percentMode);
        if (!level) continue;
        const std::optional<int> y =
            kvr::ValueToPlotY(*level, frame.visibleLow, frame.visibleHigh, frame.height);
        if (!y) continue;
        BeginMergePenNot(painter, color, Qt::DotLine);
        painter.drawLine(0, *y, frame.width, *y);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setPen(color);
        DrawTextAt(painter, kTextOffset, kvr::MarkTextY(*y, frame.height),
                   QString::fromStdString(kvr::ValueLabelText(label)));
    }
    painter.restore();
}

void DrawTagsAndValueLabels(QPainter& painter, const kvr::CXFile& file, const CurvePlotFrame& frame) {
    DrawTags(painter, file, frame);
    DrawValueLabels(painter, file, frame);
}
