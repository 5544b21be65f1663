#include "gui/charts/range_dial_ctrl.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/charts/chart_text.h"
#include "gui/charts/dial_painter.h"
#include "gui/common/color_ref.h"
#include "gui/common/system_colors.h"

namespace {
// The legend uses the read-out box colours of the curves.
const QColor kLegendBackground(255, 255, 225);
}  // namespace

CRangeDialCtrl::CRangeDialCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CRangeDialCtrl::SetFile(kvr::CXFile* file) {
    file_ = file;
    Layout();
}

void CRangeDialCtrl::SetGroups(int groupCount, int selectedGroup) {
    groups_ = std::max(groupCount, 1);
    group_ = std::clamp(selectedGroup, 0, groups_ - 1);
}

void CRangeDialCtrl::Layout() {
    const int split = width() - width() / 5;
    chart_ = QRect(0, 0, split, height());
    legend_ = QRect(split, 0, width() - split, height());
    centre_ = QPointF(chart_.center().x(), chart_.center().y());
    const int c = std::min(chart_.width(), chart_.height());
    radius_ = (c - c / 10) / 2;
    const qreal ratio = devicePixelRatioF();
    picture_ = QImage(std::max(1, qRound(width() * ratio)), std::max(1, qRound(height() * ratio)),
                      QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
    Refresh();
}

std::vector<int> CRangeDialCtrl::GroupChannels() const {
    const std::vector<int> inUse = kvr::ChannelsInUse(*file_);
    const int count = kvr::CellsInGroup(static_cast<int>(inUse.size()), kChannelsPerGroup, group_);
    return {inUse.begin() + group_ * kChannelsPerGroup,
            inUse.begin() + group_ * kChannelsPerGroup + count};
}

void CRangeDialCtrl::Refresh() {
    if (picture_.isNull()) return;
    picture_.fill(ButtonFaceColor());
    if (file_) {
        QPainter painter(&picture_);
        DrawChart(painter);
        DrawLegend(painter);
    }
    update();
}

void CRangeDialCtrl::DrawChart(QPainter& painter) const {
    const kvr::FileHeader& header = file_->Header();
    const QColor background = ColorFromRef(header.backgroundColor);
    painter.fillRect(chart_, background);
    const int rings = header.pieGridCount > 0 ? header.pieGridCount : 10;
    const DialFrame frame{centre_, radius_, rings};
    const int hours = kvr::HoursPerRevolution(header.pieTimeIndex);
    DrawDialGrid(painter, frame, 2 * hours, 2, ColorFromRef(header.gridColor));

    const kvr::Time end = file_->GetEndTime();
    std::vector<QString> hourLabels;
    for (int hour : kvr::DialHourLabels(kvr::SplitTime(end).hour, header.pieTimeIndex))
        hourLabels.push_back(QString::number(hour));
    const int labelHeight = std::max(width() / 60, 8);
    DrawHourLabels(painter, frame, hourLabels, radius_ + 1.2 * labelHeight, ChartFont(labelHeight),
                   InverseColor(background));
    std::vector<QString> valueLabels;
    for (int k = 0; k <= rings; ++k)
        valueLabels.push_back(QString::number(k * 100.0 / rings, 'f', 2));
    DrawValueLabels(painter, frame, valueLabels, ChartFont(14), InverseColor(background));

    const int interval = file_->GetInterval();
    if (interval <= 0) return;
    const std::vector<kvr::DialStep> steps = kvr::LiveDialSteps(end, interval, header.pieTimeIndex);
    const long long perRevolution = static_cast<long long>(hours) * 3600 / interval;
    for (int c : GroupChannels())
        DrawDialCurve(painter, frame, *file_, c, steps, perRevolution,
                      ColorFromRef(header.channels[c].color));
}

CRangeDialCtrl::LegendLayout CRangeDialCtrl::Legend() const {
    LegendLayout layout;
    if (!file_) return layout;
    const int size = std::max(width() / 60, 10);
    // CJK faces standing in for the legend font are taller than its pixel size.
    const int pitch = std::max(size * 6 / 5, QFontMetrics(ChartFont(size)).height() + 1);
    const QRect inner = legend_.adjusted(4, 2, -4, -2);
    int y = inner.top();
    const auto add = [&](const QString& text, int left, int flags, const QColor& colour) {
        const int boxWidth = std::max(inner.right() + 1 - left, 1);
        const QFont font = FittedChartFont(text, size, boxWidth);
        // Only a name too long even for the smallest font loses its end.
        layout.texts.push_back({QRect(left, y, boxWidth, pitch),
                                QFontMetrics(font).elidedText(text, Qt::ElideRight, boxWidth), font,
                                colour, flags | Qt::AlignVCenter | Qt::TextSingleLine});
    };
    // "head: tail" on one row when it fits, else the tail right-aligned on a row of its own.
    const auto addSplit = [&](const QString& head, const QString& tail, int left,
                              const QColor& colour) {
        const QFontMetrics metrics(ChartFont(size));
        if (metrics.horizontalAdvance(head + tail) <= inner.right() + 1 - left) {
            add(head + tail, left, Qt::AlignLeft, colour);
        } else {
            add(head, left, Qt::AlignLeft, colour);
            y += pitch;
            add(tail, left, Qt::AlignRight, colour);
        }
        y += pitch;
    };

    add(QString::fromStdString(file_->GetDeviceName()), inner.left(), Qt::AlignHCenter, Qt::black);
    y += pitch;
    add(QString::fromStdString(kvr::FormatTime(file_->GetEndTime())), inner.left(), Qt::AlignLeft,
        Qt::black);
    y += pitch;
    const int numberLeft = inner.left() + pitch / 2 + 3;
    const int textLeft = numberLeft + QFontMetrics(ChartFont(size)).horizontalAdvance("00 ");
    for (int c : GroupChannels()) {
        float value = 0.0f;
        if (file_->Header().channels[c].showState != 1 || !NewestValue(*file_, c, &value)) continue;
        const QColor colour = ColorFromRef(file_->Header().channels[c].color);
        layout.swatches.push_back(
            {QRect(inner.left(), y + pitch / 4, pitch / 2, pitch / 2), colour});
        add(QStringLiteral("%1 ").arg(c + 1, 2, 10, QChar('0')), numberLeft, Qt::AlignLeft,
            LegibleOn(colour, kLegendBackground));
        const bool alarm =
            kvr::IsOutsideAlarms(value, file_->GetAlarmLow(c), file_->GetAlarmHigh(c));
        addSplit(QString::fromStdString(file_->GetChannelName(c)) + QStringLiteral(": "),
                 FormatChannelValue(*file_, c, value) + QStringLiteral(" ") +
                     QString::fromStdString(file_->GetChannelUnit(c)),
                 textLeft, alarm ? kChartRed : QColor(Qt::black));
        layout.rules.push_back(y - 1);
    }
    y += pitch;
    addSplit(QStringLiteral("累积流量:"), QString::number(file_->Header().flowTotal * 0.01, 'f', 2),
             inner.left(), Qt::black);
    if (HasHeatTotal(*file_))
        addSplit(QStringLiteral("累积热量:"),
                 QString::number(file_->Header().heatTotal * 0.01, 'f', 2), inner.left(),
                 Qt::black);
    return layout;
}

void CRangeDialCtrl::DrawLegend(QPainter& painter) const {
    painter.fillRect(legend_, kLegendBackground);
    painter.setPen(ButtonShadowColor());
    painter.drawRect(legend_.adjusted(0, 0, -1, -1));
    const LegendLayout layout = Legend();
    for (const auto& [box, colour] : layout.swatches) {
        // Outlined, so that a light curve colour still shows on the light strip.
        painter.fillRect(box, colour);
        painter.setPen(LegibleOn(colour, kLegendBackground));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }
    for (const LegendText& text : layout.texts) {
        painter.setFont(text.font);
        painter.setPen(text.colour);
        painter.drawText(text.box, text.flags, text.text);
    }
    painter.setPen(ButtonShadowColor());
    for (int y : layout.rules) painter.drawLine(legend_.left() + 2, y, legend_.right() - 2, y);
}

void CRangeDialCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
}

void CRangeDialCtrl::resizeEvent(QResizeEvent*) { Layout(); }

void CRangeDialCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton)
        emit rightButtonReleased(event->globalPosition().toPoint());
}
