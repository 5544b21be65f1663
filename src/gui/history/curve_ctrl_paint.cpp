// Drawing steps of CXCurveCtrl: each one fills its layer, and the composition steps copy
// the layers into the back buffer in order (frame, plot, then cursor or selection).
#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <array>
#include <cmath>
#include <vector>

#include "core/analysis/curve_readout.h"
#include "gui/history/curve_ctrl.h"
#include "gui/common/system_colors.h"
#include "gui/history/tag_painter.h"
#include "gui/common/color_ref.h"

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

const QColor kMarkerFill(255, 255, 0);
const QColor kMarkerPen(85, 0, 0);
const QColor kSelectionXor(0, 80, 80);
const QColor kAlarmText(255, 0, 0);

QString TimeLabel(Time t, int xStyle) {
    const kvr::CalendarFields f = kvr::SplitTime(t);
    if (xStyle == 0) return QString::asprintf("%02d:%02d:%02d", f.hour, f.minute, f.second);
    return QString::asprintf("%d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour,
                             f.minute, f.second);
}

}  // namespace

bool CXCurveCtrl::RedrawIfStale() {
    if (LayersMatchWidget()) return false;
    RedrawAll();
    return true;
}

void CXCurveCtrl::paintEvent(QPaintEvent*) {
    // A size or screen change since the last layout: rebuild the layers before showing.
    if (!LayersMatchWidget()) {
        ApplyGeometry();
        DrawFrame();
        DrawTimeAxis();
        DrawValueAxis();
        DrawPlot();
        DrawCursorOrSelection();
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), back_.Image());
}

void CXCurveCtrl::resizeEvent(QResizeEvent*) {
    // The layers are rebuilt by the next Layout or paint; nothing to draw into yet.
}

void CXCurveCtrl::Present() { update(); }

void CXCurveCtrl::RedrawAll() {
    if (!LayersMatchWidget()) ApplyGeometry();
    DrawFrame();
    DrawTimeAxis();
    DrawValueAxis();
    DrawPlot();
    DrawCursorOrSelection();
    Present();
}

void CXCurveCtrl::redrawCurves() {
    if (RedrawIfStale()) return;
    ComputeWindow();
    DrawTimeAxis();
    DrawPlot();
    DrawCursorOrSelection();
    Present();
}

void CXCurveCtrl::RedrawAfterScaleChange() {
    if (RedrawIfStale()) return;
    ComputeValueScale();
    DrawValueAxis();
    DrawPlot();
    DrawCursorOrSelection();
    Present();
}

void CXCurveCtrl::DrawCursorOrSelection() {
    if (selectMode_)
        DrawSelection();
    else
        DrawCursor();
}

void CXCurveCtrl::DrawFrame() {
    QPainter painter(&frame_.Image());
    // The plot layer always covers the plot, so only the frame around it is filled.
    for (const EdgeRect& part : FrameParts()) painter.fillRect(part.ToQRect(), ButtonFaceColor());
    DrawSunkenFrame(painter, {client_.left, client_.top, client_.right, client_.bottom - kBottomMargin});
    DrawSunkenFrame(painter, {client_.left + kLeftMargin, client_.top + kTopMargin, client_.right,
                              client_.bottom});

    const EdgeRect corner{client_.left, valueAxis_.bottom + 1, timeAxis_.left - 1, client_.bottom};
    painter.setFont(captionFont_);
    painter.setPen(Qt::black);
    painter.drawText(corner.ToQRect(), Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                     valueMode_ == 0 ? QStringLiteral("百分比") : QStringLiteral("数值"));
}

void CXCurveCtrl::DrawValueAxis() {
    CXBackBuffer strip(valueAxis_, devicePixelRatioF());
    {
        QPainter painter(&strip.Image());
        painter.setFont(axisFont_);
        const int w = valueAxis_.Width();
        for (int k = -1; scale_.HasLines(); ++k) {
            const int y = scale_.LineRow(k);
            const bool labelled = scale_.IsLabelled(k);
            painter.setPen(ButtonShadowColor());
            painter.drawLine(w - (labelled ? kLabelledTickLength : kTickLength), y, w - 1, y);
            if (labelled) {
                painter.setPen(Qt::black);
                painter.drawText(QRect(0, y - 10, w - kLabelledTickLength, 20), Qt::AlignCenter,
                                 QString::asprintf("%.2f", static_cast<double>(scale_.LineValue(k))));
            }
            if (scale_.IsPastBottom(k)) break;
        }
    }
    strip.BlitTo(frame_.Image());
}

int CXCurveCtrl::GridColumn(int i) const {
    const float step = static_cast<float>(plotWidth_) / static_cast<float>(gridCount_);
    return static_cast<int>(static_cast<float>(i) * step);
}

void CXCurveCtrl::DrawTimeAxis() {
    CXBackBuffer strip(timeAxis_, devicePixelRatioF());
    {
        QPainter painter(&strip.Image());
        painter.setFont(axisFont_);
        const int labelSpacing = xStyle_ == 0 ? kShortLabelSpacing : kLongLabelSpacing;
        const std::vector<int> labelled =
            kvr::LabelledTimeDivisions(gridCount_, plotWidth_, labelSpacing);
        std::size_t next = 0;
        for (int i = 1; i <= gridCount_; ++i) {
            const int x = GridColumn(i);
            const bool label = next < labelled.size() && labelled[next] == i;
            painter.setPen(ButtonShadowColor());
            painter.drawLine(x, 0, x, (label ? kLabelledTickLength : kTickLength) - 1);
            if (!label) continue;
            ++next;
            painter.setPen(Qt::black);
            painter.drawText(QRect(x - 100, kTickLength, 200, timeAxis_.Height() - kTickLength),
                             Qt::AlignCenter | Qt::TextSingleLine,
                             TimeLabel(PixelToTime(x, plotWidth_), xStyle_));
        }
    }
    strip.BlitTo(frame_.Image());
}

void CXCurveCtrl::DrawPlot() {
    {
        QPainter painter(&plotLayer_.Image());
        const QRect all(0, 0, plot_.Width(), plot_.Height());
        if (!file_) {
            painter.fillRect(all, Qt::black);
        } else {
            painter.fillRect(all, ColorFromRef(file_->Header().backgroundColor));
            if (gridShown_) DrawGrid(painter);
            DrawCurves(painter);
            DrawMarks(painter);
        }
    }
    for (const EdgeRect& part : FrameParts()) frame_.BlitTo(back_.Image(), part);
    plotLayer_.BlitTo(back_.Image());
    plotClean_ = true;
}

std::array<EdgeRect, 4> CXCurveCtrl::FrameParts() const {
    return {EdgeRect{client_.left, client_.top, client_.right, plot_.top},
            EdgeRect{client_.left, plot_.bottom, client_.right, client_.bottom},
            EdgeRect{client_.left, plot_.top, plot_.left, plot_.bottom},
            EdgeRect{plot_.right, plot_.top, client_.right, plot_.bottom}};
}

void CXCurveCtrl::RestorePlot() {
    if (!plotClean_) plotLayer_.BlitTo(back_.Image());
    plotClean_ = false;
}

void CXCurveCtrl::DrawGrid(QPainter& painter) {
    painter.setPen(QPen(ColorFromRef(file_->Header().gridColor), 1));
    for (int k = -1; scale_.HasLines(); ++k) {
        const int y = scale_.LineRow(k);
        painter.drawLine(0, y, plotWidth_ - 1, y);
        if (scale_.IsPastBottom(k)) break;
    }
    for (int i = 1; i <= gridCount_; ++i) {
        const int x = GridColumn(i);
        painter.drawLine(x, 0, x, plot_.Height() - 1);
    }
}

std::optional<int> CXCurveCtrl::CurveRow(int channel, Time t) const {
    // NaN marks "not written": GetValue leaves the outputs alone for a file that is not
    // mapped or a signal it cannot scale.
    float value = NAN;
    float percent = NAN;
    if (file_->GetValue(channel, t, &value, &percent) == 0) return std::nullopt;
    const float v = valueMode_ == 0 ? percent : value;
    if (std::isnan(v)) return std::nullopt;
    return scale_.Row(v);
}

void CXCurveCtrl::DrawCurves(QPainter& painter) {
    // One lookup per column: the times are the same for every channel.
    std::vector<Time> times(static_cast<std::size_t>(plotWidth_) + 1);
    for (int x = 0; x <= plotWidth_; ++x) times[static_cast<std::size_t>(x)] = PixelToTime(x, plotWidth_);

    QPolygon points;
    points.reserve(plotWidth_ + 1);
    for (int c = 0; c < channelCount_; ++c) {
        const kvr::ChannelDescriptor& channel = file_->Header().channels[c];
        if (channel.showState != kShown) continue;
        points.clear();
        for (int x = 0; x <= plotWidth_; ++x) {
            // A column without a value is skipped; the line joins across it.
            if (const auto y = CurveRow(c, times[static_cast<std::size_t>(x)])) points.append(QPoint(x, *y));
        }
        if (points.isEmpty()) continue;
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

QColor CXCurveCtrl::ContrastColor() const {
    return InverseOfColorref(file_ ? file_->Header().backgroundColor : 0);
}

void CXCurveCtrl::DrawMarks(QPainter& painter) {
    CurvePlotFrame frame;
    frame.width = plotWidth_;
    frame.height = plot_.Height();
    frame.windowStart = window_.WindowStart();
    frame.windowEnd = window_.WindowEnd();
    frame.visibleLow = scale_.VisibleLow();
    frame.visibleHigh = scale_.VisibleHigh();
    frame.percentMode = valueMode_ == 0;
    frame.timeToPixel = [this](Time t) { return TimeToPixel(t, plotWidth_); };
    DrawTagsAndValueLabels(painter, *file_, frame);
}

void CXCurveCtrl::ClearMarkerStrip() {
    marker_.Fill(ButtonFaceColor());
    marker_.BlitTo(back_.Image());
}

void CXCurveCtrl::DrawMarker(QPainter& painter, int stripX) {
    const int apex = markerStrip_.Height() - 2;
    const QPoint corners[3] = {{stripX, apex},
                               {stripX - kMarkerHalfWidth, apex - kMarkerHalfWidth},
                               {stripX + kMarkerHalfWidth, apex - kMarkerHalfWidth}};
    painter.setPen(kMarkerPen);
    painter.setBrush(kMarkerFill);
    painter.drawPolygon(corners, 3);
}

void CXCurveCtrl::DrawCursor() {
    if (!file_ || !window_.InBrowseRange(cursorTime_)) return;
    RestorePlot();
    ClearMarkerStrip();
    readout_ = {};
    const int x = plot_.left + TimeToPixel(cursorTime_, plotWidth_);
    cursorX_ = x;
    if (x < plot_.left || x > plot_.right - 1 || !window_.InWindow(cursorTime_)) return;
    {
        QPainter painter(&back_.Image());
        painter.setCompositionMode(QPainter::RasterOp_SourceOrNotDestination);
        painter.setPen(QPen(ContrastColor(), 1));
        painter.drawLine(x, plot_.top, x, plot_.bottom - 1);
    }
    {
        QPainter painter(&marker_.Image());
        DrawMarker(painter, x - markerStrip_.left);
    }
    marker_.BlitTo(back_.Image());
    DrawReadout(x, cursorY_);
}

void CXCurveCtrl::DrawSelection() {
    if (!file_) return;
    // Cleared first: a drag back onto its starting column empties the selection, and the
    // band drawn for the previous move must not stay behind.
    RestorePlot();
    ClearMarkerStrip();
    readout_ = {};
    if (selStart_ < window_.BrowseStart() || selEnd_ > window_.BrowseEnd() || selStart_ == selEnd_)
        return;
    const Time windowStart = window_.WindowStart();
    const Time windowEnd = window_.WindowEnd();
    if ((selStart_ < windowStart && selEnd_ < windowStart) || (selStart_ > windowEnd && selEnd_ > windowEnd))
        return;
    selStartColumn_ = TimeToPixel(selStart_, plotWidth_);
    selEndColumn_ = TimeToPixel(selEnd_, plotWidth_);
    const EdgeRect band{std::max(plot_.left + std::min(selStartColumn_, selEndColumn_), plot_.left),
                        plot_.top,
                        std::min(plot_.left + std::max(selStartColumn_, selEndColumn_) + 1, plot_.right),
                        plot_.bottom};
    if (!band.IsEmpty()) {
        QPainter painter(&back_.Image());
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(band.ToQRect(), kSelectionXor);
    }
    {
        QPainter painter(&marker_.Image());
        if (window_.InWindow(selStart_)) DrawMarker(painter, selStartColumn_);
        if (window_.InWindow(selEnd_)) DrawMarker(painter, selEndColumn_ + 1);
    }
    marker_.BlitTo(back_.Image());
}

void CXCurveCtrl::DrawReadout(int x, int /*y*/) {
    const kvr::CurveReadout readout = kvr::BuildCurveReadout(*file_, cursorTime_);
    const int rows = readout.RowCount(plot_.Height());
    readout_ = {};
    if (rows <= 0) return;
    const int width = readout.Width();
    const int left = x > plot_.left + plot_.Width() / 2 ? plot_.left : plot_.right - width;
    readout_ = {left, plot_.top, left + width, plot_.top + rows * kvr::CurveReadout::kRowHeight};

    QPainter painter(&back_.Image());
    painter.fillRect(readout_.ToQRect(), ButtonFaceColor());
    DrawSunkenEdge(painter, readout_);
    painter.setFont(captionFont_);
    const auto rowRect = [this](int row) {
        const int top = readout_.top + row * kvr::CurveReadout::kRowHeight;
        return EdgeRect{readout_.left, top, readout_.right, top + kvr::CurveReadout::kRowHeight};
    };
    const int single = Qt::TextSingleLine | Qt::AlignVCenter;
    painter.setPen(Qt::black);
    painter.drawText(rowRect(0).ToQRect(), single | Qt::AlignHCenter, QString::fromStdString(readout.deviceName));
    if (rows > 1)
        painter.drawText(rowRect(1).ToQRect(), single | Qt::AlignHCenter, QString::fromStdString(readout.timeText));

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
        if (!nextRow(&r)) return;
        const QColor color = ColorFromRef(channel.color);
        painter.fillRect(QRect(r.left - 2, r.top + 3, 12, 12), color);
        painter.setPen(color);
        painter.drawText(QRect(r.left + 15, r.top, r.right - r.left - 15, r.Height()), single | Qt::AlignLeft,
                         QString::fromStdString(channel.number));
        painter.setPen(channel.alarm ? kAlarmText : QColor(Qt::black));
        painter.drawText(QRect(r.left + 33, r.top, r.right - r.left - 33, r.Height()), single | Qt::AlignLeft,
                         QString::fromStdString(channel.text));
    }
    if (!nextRow(&r)) return;  // the blank row before the totals
    if (!nextRow(&r)) return;
    painter.setPen(Qt::black);
    painter.drawText(r.ToQRect(), single | Qt::AlignLeft, QString::fromStdString(readout.flowTotal));
    if (!readout.HasHeat() || !nextRow(&r)) return;
    painter.setPen(Qt::black);
    painter.drawText(r.ToQRect(), single | Qt::AlignLeft, QString::fromStdString(readout.heatTotal));
}
