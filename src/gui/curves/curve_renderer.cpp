#include "gui/curves/curve_renderer.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>
#include <cmath>
#include <optional>
#include <vector>

#include "core/view/curve_readout.h"
#include "gui/common/color_ref.h"
#include "gui/common/system_colors.h"
#include "gui/curves/envelope_line.h"
#include "gui/curves/tag_painter.h"

using kvr::Time;

namespace {

constexpr std::uint8_t kShown = 1;
// The tick of a labelled division is longer.
constexpr int kTickLength = 4;
constexpr int kLabelledTickLength = 6;
constexpr int kShortLabelSpacing = 50;
constexpr int kLongLabelSpacing = 100;
constexpr int kMarkerHalfWidth = 5;
constexpr int kReadoutInset = 10;
constexpr int kValueLabelHeight = 20;
// Space kept free between neighbouring time labels.
constexpr int kLabelGap = 4;

const QColor kMarkerFill(255, 255, 0);
const QColor kMarkerPen(85, 0, 0);
const QColor kAlarmText(255, 0, 0);

}  // namespace

// ---------------------------------------------------------------------------------------
// Scene and layout

Time CurveScene::ColumnTime(int column, int width) const {
    return window->PixelToTime(column, width);
}

QFont CurveScene::DefaultAxisFont() {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(12);
    return font;
}

QFont CurveScene::DefaultCaptionFont() {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    return font;
}

CurveLayout CurveLayout::For(int width, int height) {
    CurveLayout layout;
    layout.client = {0, 0, width, height};
    layout.plot = EdgeRect{kLeftMargin, kTopMargin, width, height - kBottomMargin}.Shrunk(1);
    layout.valueAxis = EdgeRect{0, kTopMargin, kLeftMargin, height - kBottomMargin}.Shrunk(1);
    layout.timeAxis = EdgeRect{kLeftMargin, layout.valueAxis.bottom, width, height}.Shrunk(1);
    layout.markerStrip = EdgeRect{layout.valueAxis.right, 0, width, layout.plot.top}.Shrunk(1);
    layout.plotWidth = layout.timeAxis.Width();
    return layout;
}

std::array<EdgeRect, 4> CurveLayout::FrameParts() const {
    return {EdgeRect{client.left, client.top, client.right, plot.top},
            EdgeRect{client.left, plot.bottom, client.right, client.bottom},
            EdgeRect{client.left, plot.top, plot.left, plot.bottom},
            EdgeRect{plot.right, plot.top, client.right, plot.bottom}};
}

// ---------------------------------------------------------------------------------------
// A whole display

std::uint32_t CurveScene::Background() const {
    constexpr std::uint32_t kPaper = 0x00FFFFFF;
    if (onPaper) return kPaper;
    if (file) return file->Header().backgroundColor;
    return empty ? empty->background : kPaper;
}

std::uint32_t CurveScene::GridColor() const {
    constexpr std::uint32_t kPaperGrid = 0x00C0C0C0;
    if (onPaper) return kPaperGrid;
    if (file) return file->Header().gridColor;
    return empty ? empty->grid : kPaperGrid;
}

void CXCurveRenderer::Render(QPainter& painter, const QRect& target, qreal scale,
                             const CurveScene& scene) {
    if (target.isEmpty() || scale <= 0 || !scene.window || !scene.scale) return;
    if (painter.device()->devType() != QInternal::Image) {
        QImage image(target.size(), QImage::Format_RGB32);
        {
            QPainter imagePainter(&image);
            Render(imagePainter, image.rect(), scale, scene);
        }
        painter.drawImage(target, image);
        return;
    }
    const CurveLayout layout =
        CurveLayout::For(qRound(target.width() / scale), qRound(target.height() / scale));
    kvr::ValueScale valueScale = *scene.scale;
    valueScale.Compute(layout.valueAxis.Height());
    CurveScene laidOut = scene;
    laidOut.scale = &valueScale;
    const CXCurveRenderer renderer(laidOut, layout);

    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    const auto inside = [&painter](const EdgeRect& part, const auto& draw) {
        painter.save();
        painter.setClipRect(part.ToQRect());
        painter.translate(part.left, part.top);
        draw();
        painter.restore();
    };
    renderer.DrawFrame(painter);
    inside(layout.valueAxis, [&] { renderer.DrawValueAxis(painter); });
    inside(layout.timeAxis, [&] { renderer.DrawTimeAxis(painter); });
    inside(layout.plot, [&] { renderer.DrawPlot(painter); });
    painter.restore();
}

// ---------------------------------------------------------------------------------------
// Frame and axes

void CXCurveRenderer::DrawFrame(QPainter& painter) const {
    const EdgeRect& client = layout_.client;
    // The plot is drawn over the rest, so only the frame around it is filled.
    for (const EdgeRect& part : layout_.FrameParts())
        painter.fillRect(part.ToQRect(), ButtonFaceColor());
    DrawSunkenFrame(painter, {client.left, client.top, client.right,
                              client.bottom - CurveLayout::kBottomMargin});
    DrawSunkenFrame(painter, {client.left + CurveLayout::kLeftMargin,
                              client.top + CurveLayout::kTopMargin, client.right, client.bottom});

    const EdgeRect corner{client.left, layout_.valueAxis.bottom + 1, layout_.timeAxis.left - 1,
                          client.bottom};
    painter.setFont(scene_.captionFont);
    painter.setPen(Qt::black);
    painter.drawText(corner.ToQRect(), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                     scene_.valueMode == 0 ? QStringLiteral("百分比") : QStringLiteral("数值"));
}

void CXCurveRenderer::DrawValueAxis(QPainter& painter) const {
    const kvr::ValueScale& scale = *scene_.scale;
    painter.setFont(scene_.axisFont);
    const int w = layout_.valueAxis.Width();
    const int height = layout_.valueAxis.Height();
    int labelsEnd = 0;
    for (int k = -1; scale.HasLines(); ++k) {
        const int y = scale.LineRow(k);
        const bool labelled = scale.IsLabelled(k);
        painter.setPen(ButtonShadowColor());
        painter.drawLine(w - (labelled ? kLabelledTickLength : kTickLength), y, w - 1, y);
        if (labelled) {
            // Centred on its line but kept inside the strip; one that would cover the
            // label above is left out, and so is one of a line too far off the strip.
            const int top =
                std::clamp(y - kValueLabelHeight / 2, 0, std::max(height - kValueLabelHeight, 0));
            const bool nearStrip =
                y >= -kValueLabelHeight / 2 && y <= height + kValueLabelHeight / 2;
            if (top >= labelsEnd && nearStrip) {
                painter.setPen(Qt::black);
                painter.drawText(
                    QRect(0, top, w - kLabelledTickLength, kValueLabelHeight), Qt::AlignCenter,
                    QString::asprintf("%.2f", static_cast<double>(scale.LineValue(k))));
                labelsEnd = top + kValueLabelHeight;
            }
        }
        if (scale.IsPastBottom(k)) break;
    }
}

int CXCurveRenderer::GridColumn(int i) const {
    const float step = static_cast<float>(layout_.plotWidth) / static_cast<float>(scene_.gridCount);
    return static_cast<int>(static_cast<float>(i) * step);
}

void CXCurveRenderer::DrawTimeAxis(QPainter& painter) const {
    painter.setFont(scene_.axisFont);
    const int labelSpacing = scene_.xStyle == 0 ? kShortLabelSpacing : kLongLabelSpacing;
    const std::vector<int> labelled =
        kvr::LabelledTimeDivisions(scene_.gridCount, layout_.plotWidth, labelSpacing);
    const int height = layout_.timeAxis.Height();
    const QFontMetrics metrics(scene_.axisFont);
    int labelsEnd = 0;
    std::optional<Time> previousLabel;
    const Time span = scene_.window->WindowEnd() - scene_.window->WindowStart();
    std::size_t next = 0;
    for (int i = 1; i <= scene_.gridCount; ++i) {
        const int x = GridColumn(i);
        const bool label = next < labelled.size() && labelled[next] == i;
        painter.setPen(ButtonShadowColor());
        painter.drawLine(x, 0, x, (label ? kLabelledTickLength : kTickLength) - 1);
        if (!label) continue;
        ++next;
        // Without a file the divisions stand for no time at all.
        if (!scene_.file) continue;
        // Centred under its division but kept inside the strip; one that would run into
        // the label before it is left out.
        const Time t = scene_.ColumnTime(x, layout_.plotWidth);
        const QString text =
            QString::fromStdString(kvr::TimeAxisLabel(t, previousLabel, span, scene_.xStyle));
        const int textWidth = metrics.horizontalAdvance(text) + kLabelGap;
        const int left =
            std::clamp(x - textWidth / 2, 0, std::max(layout_.plotWidth - textWidth, 0));
        if (left < labelsEnd) continue;
        labelsEnd = left + textWidth;
        previousLabel = t;
        painter.setPen(Qt::black);
        painter.drawText(QRect(left, kTickLength, textWidth, height - kTickLength),
                         Qt::AlignCenter | Qt::TextSingleLine, text);
    }
}

// ---------------------------------------------------------------------------------------
// The plot

void CXCurveRenderer::DrawPlot(QPainter& painter) const {
    const QRect all(0, 0, layout_.plot.Width(), layout_.plot.Height());
    if (!scene_.file) {
        DrawEmptyPlot(painter);
        return;
    }
    painter.fillRect(all, ColorFromRef(scene_.Background()));
    if (scene_.gridShown) DrawGrid(painter);
    DrawCurves(painter);
    DrawMarks(painter);
}

void CXCurveRenderer::DrawEmptyPlot(QPainter& painter) const {
    const QRect all(0, 0, layout_.plot.Width(), layout_.plot.Height());
    if (!scene_.empty) {
        painter.fillRect(all, Qt::black);
        return;
    }
    painter.fillRect(all, ColorFromRef(scene_.Background()));
    if (scene_.gridShown) DrawGrid(painter);
    painter.setFont(scene_.captionFont);
    painter.setPen(InverseOfColorref(scene_.Background()));
    painter.drawText(all, Qt::AlignCenter | Qt::TextSingleLine, scene_.empty->notice);
}

void CXCurveRenderer::DrawGrid(QPainter& painter) const {
    const kvr::ValueScale& scale = *scene_.scale;
    painter.setPen(QPen(ColorFromRef(scene_.GridColor()), 1));
    for (int k = -1; scale.HasLines(); ++k) {
        const int y = scale.LineRow(k);
        painter.drawLine(0, y, layout_.plotWidth - 1, y);
        if (scale.IsPastBottom(k)) break;
    }
    for (int i = 1; i <= scene_.gridCount; ++i) {
        const int x = GridColumn(i);
        painter.drawLine(x, 0, x, layout_.plot.Height() - 1);
    }
}

void CXCurveRenderer::DrawCurves(QPainter& painter) const {
    const kvr::CXFile& file = *scene_.file;
    const int plotWidth = layout_.plotWidth;
    const int channelCount = std::clamp(file.GetChannelCount(), 0, kvr::kMaxChannels);
    // One lookup per column: the times are the same for every channel.
    // One entry more than the columns: the end of the last column, for the envelope.
    std::vector<Time> times(static_cast<std::size_t>(plotWidth) + 2);
    for (int x = 0; x <= plotWidth + 1; ++x)
        times[static_cast<std::size_t>(x)] = scene_.ColumnTime(x, plotWidth);
    if (scene_.envelope) scene_.envelope->Sync(file);

    QPolygon points;
    points.reserve(plotWidth + 1);
    for (int c = 0; c < channelCount; ++c) {
        const kvr::ChannelDescriptor& channel = file.Header().channels[c];
        if (channel.showState != kShown) continue;
        points.clear();
        if (scene_.envelope)
            AppendEnvelopeLine({file, *scene_.envelope, *scene_.scale, scene_.valueMode == 0}, c,
                               times, points);
        for (int x = 0; !scene_.envelope && x <= plotWidth; ++x) {
            // NaN marks "not written": GetValue leaves the outputs alone for a file that is
            // not mapped or a signal it cannot scale. A column without a value is skipped;
            // the line joins across it.
            float value = NAN;
            float percent = NAN;
            if (file.GetValue(c, times[static_cast<std::size_t>(x)], &value, &percent) == 0)
                continue;
            const float v = scene_.valueMode == 0 ? percent : value;
            if (!std::isnan(v)) points.append(QPoint(x, scene_.scale->Row(v)));
        }
        if (points.isEmpty()) continue;
        if (scene_.envelope) {
            DrawEnvelope(painter, points, ColorFromRef(channel.color), channel.lineWidth);
            continue;
        }
        QPen pen(ColorFromRef(channel.color), std::max<int>(channel.lineWidth, 1));
        if (channel.lineWidth > 1) {
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
        }
        painter.setPen(pen);
        if (points.size() == 1)
            painter.drawPoint(points.front());
        else
            painter.drawPolyline(points);
    }
}

void CXCurveRenderer::DrawMarks(QPainter& painter) const {
    CurvePlotFrame frame;
    frame.width = layout_.plotWidth;
    frame.height = layout_.plot.Height();
    frame.windowStart = scene_.window->WindowStart();
    frame.windowEnd = scene_.window->WindowEnd();
    frame.visibleLow = scene_.scale->VisibleLow();
    frame.visibleHigh = scene_.scale->VisibleHigh();
    frame.percentMode = scene_.valueMode == 0;
    frame.timeToPixel = [this](Time t) { return scene_.TimeColumn(t, layout_.plotWidth); };
    frame.background = scene_.Background();
    DrawTagsAndValueLabels(painter, *scene_.file, frame);
}

// ---------------------------------------------------------------------------------------
// Cursor marker and read-out

void CXCurveRenderer::DrawMarker(QPainter& painter, int stripX) const {
    const int apex = layout_.markerStrip.Height() - 2;
    const QPoint corners[3] = {{stripX, apex},
                               {stripX - kMarkerHalfWidth, apex - kMarkerHalfWidth},
                               {stripX + kMarkerHalfWidth, apex - kMarkerHalfWidth}};
    painter.setPen(kMarkerPen);
    painter.setBrush(kMarkerFill);
    painter.drawPolygon(corners, 3);
}

EdgeRect CXCurveRenderer::DrawReadout(QPainter& painter, int x, Time t) const {
    const EdgeRect& plot = layout_.plot;
    const kvr::CurveReadout readout = kvr::BuildCurveReadout(*scene_.file, t);
    const int rows = readout.RowCount(plot.Height());
    if (rows <= 0) return {};
    const int width = readout.Width();
    const int left = x > plot.left + plot.Width() / 2 ? plot.left : plot.right - width;
    const EdgeRect box{left, plot.top, left + width,
                       plot.top + rows * kvr::CurveReadout::kRowHeight};

    painter.fillRect(box.ToQRect(), ButtonFaceColor());
    DrawSunkenEdge(painter, box);
    painter.setFont(scene_.captionFont);
    const auto rowRect = [&box](int row) {
        const int top = box.top + row * kvr::CurveReadout::kRowHeight;
        return EdgeRect{box.left, top, box.right, top + kvr::CurveReadout::kRowHeight};
    };
    const int single = Qt::TextSingleLine | Qt::AlignVCenter;
    painter.setPen(Qt::black);
    painter.drawText(rowRect(0).ToQRect(), single | Qt::AlignHCenter,
                     QString::fromStdString(readout.deviceName));
    if (rows > 1)
        painter.drawText(rowRect(1).ToQRect(), single | Qt::AlignHCenter,
                         QString::fromStdString(readout.timeText));

    int row = 2;
    // Opens the next row: its separator line and its text rectangle.
    const auto nextRow = [&](EdgeRect* text) {
        if (row >= rows) return false;
        const EdgeRect r = rowRect(row++).Shrunk(kReadoutInset, 0);
        painter.setPen(ButtonShadowColor());
        painter.drawLine(r.left, r.top, r.right - 1, r.top);
        *text = r;
        return true;
    };
    EdgeRect r;
    for (const kvr::ReadoutChannelRow& channel : readout.channels) {
        if (!nextRow(&r)) return box;
        const QColor color = ColorFromRef(channel.color);
        // Outlined and the number darkened as needed: a white or yellow curve would vanish
        // on the light box.
        const QColor legible = LegibleOn(color, ButtonFaceColor());
        painter.fillRect(QRect(r.left - 2, r.top + 3, 12, 12), color);
        painter.setPen(legible);
        painter.drawRect(QRect(r.left - 2, r.top + 3, 11, 11));
        painter.drawText(QRect(r.left + 15, r.top, r.right - r.left - 15, r.Height()),
                         single | Qt::AlignLeft, QString::fromStdString(channel.number));
        painter.setPen(channel.alarm ? kAlarmText : QColor(Qt::black));
        painter.drawText(QRect(r.left + 33, r.top, r.right - r.left - 33, r.Height()),
                         single | Qt::AlignLeft, QString::fromStdString(channel.text));
    }
    if (!nextRow(&r)) return box;  // the blank row before the totals
    if (!nextRow(&r)) return box;
    painter.setPen(Qt::black);
    painter.drawText(r.ToQRect(), single | Qt::AlignLeft,
                     QString::fromStdString(readout.flowTotal));
    if (!readout.HasHeat() || !nextRow(&r)) return box;
    painter.setPen(Qt::black);
    painter.drawText(r.ToQRect(), single | Qt::AlignLeft,
                     QString::fromStdString(readout.heatTotal));
    return box;
}
