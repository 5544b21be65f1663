#include "gui/curves/tag_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "core/view/channel_text.h"
#include "core/view/tag_marks.h"
#include "gui/curves/label_placer.h"

namespace {

constexpr std::uint8_t kChannelShown = 1;
constexpr int kMarkFontPixels = 12;
constexpr int kTextOffset = 2;

QFont MarkFont() {
    QFont font;
    font.setPixelSize(kMarkFontPixels);
    return font;
}

// Text placed by its top-left corner, beside a mark at column markX: to its right, or to
// its left where the right runs out of plot. Moved up or down off other texts, or left out
// when there is no room.
void DrawTextAt(QPainter& painter, LabelPlacer& placer, int markX, int y, int plotWidth,
                const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    int x = markX + kTextOffset;
    if (x + width > plotWidth) x = std::max(markX - kTextOffset - width, 0);
    if (const std::optional<QRect> place = placer.Place(QRect(x, y, width, metrics.height())))
        painter.drawText(QPoint(place->left(), place->top() + metrics.ascent()), text);
}

LabelPlacer PlotPlacer(const CurvePlotFrame& frame) {
    return LabelPlacer(QRect(0, 0, frame.width, frame.height));
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

void DrawTags(QPainter& painter, const kvr::CXFile& file, const CurvePlotFrame& frame,
              LabelPlacer* placer) {
    if (!frame.timeToPixel) return;
    LabelPlacer ownPlacer = PlotPlacer(frame);
    LabelPlacer& texts = placer ? *placer : ownPlacer;
    const QColor color =
        InverseOfColorref(frame.background.value_or(file.Header().backgroundColor));
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
            const std::optional<int> y =
                kvr::ValueToPlotY(frame.percentMode ? percent : value, frame.visibleLow,
                                  frame.visibleHigh, frame.height);
            if (!y) continue;
            DrawTextAt(painter, texts, x, kvr::MarkTextY(*y, frame.height), frame.width,
                       QString::fromStdString(kvr::TagValueText(file, c, value)));
        }
        DrawTextAt(painter, texts, x, kTextOffset, frame.width,
                   QString::fromStdString(kvr::TagTimeText(t, xAxisStyle)));
    }
    painter.restore();
}

void DrawValueLabels(QPainter& painter, const kvr::CXFile& file, const CurvePlotFrame& frame,
                     LabelPlacer* placer) {
    LabelPlacer ownPlacer = PlotPlacer(frame);
    LabelPlacer& texts = placer ? *placer : ownPlacer;
    const QColor color =
        InverseOfColorref(frame.background.value_or(file.Header().backgroundColor));
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
        DrawTextAt(painter, texts, 0, kvr::MarkTextY(*y, frame.height), frame.width,
                   QString::fromStdString(kvr::ValueLabelText(label)));
    }
    painter.restore();
}

void DrawTagsAndValueLabels(QPainter& painter, const kvr::CXFile& file,
                            const CurvePlotFrame& frame) {
    // One placer for both, so that no tag text and value label cover each other.
    LabelPlacer placer = PlotPlacer(frame);
    DrawTags(painter, file, frame, &placer);
    DrawValueLabels(painter, file, frame, &placer);
}
