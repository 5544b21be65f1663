#include "gui/charts/circle_chart_ctrl.h"

#include <QDateTime>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/charts/chart_text.h"
#include "gui/charts/dial_painter.h"
#include "gui/common/color_ref.h"
#include "gui/common/system_colors.h"

namespace {
constexpr int kSpokes = 96;     // one every 15 minutes
constexpr int kThickEvery = 4;  // full hours
constexpr int kStepsPerDay = 86400;

int Rings(const kvr::CXFile& file) {
    return file.Header().pieGridCount > 0 ? file.Header().pieGridCount : 10;
}

QString TimeText(kvr::Time t) { return QString::fromStdString(kvr::FormatTime(t)); }
}  // namespace

CCircleChartCtrl::CCircleChartCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

std::pair<kvr::Time, kvr::Time> CCircleChartCtrl::Span() const {
    return {std::max(spanStart_, file_->GetStartTime()), std::min(spanEnd_, file_->GetEndTime())};
}

void CCircleChartCtrl::DrawGrid(QPainter& painter, const QPointF& centre, double radius,
                                const QColor& grid, const QColor& text, int labelHeight,
                                qreal scale) const {
    const int rings = Rings(*file_);
    const DialFrame frame{centre, radius, rings};
    DrawDialGrid(painter, frame, kSpokes, kThickEvery, grid, scale);
    std::vector<QString> hours;
    for (int h = 0; h < 24; ++h) hours.push_back(QString::number(h));
    DrawHourLabels(painter, frame, hours, radius + frame.Spacing(), ChartFont(labelHeight, 300),
                   text);
    const double low = file_->GetRangeLow(channel_), high = file_->GetRangeHigh(channel_);
    std::vector<QString> values;
    for (int k = 0; k <= rings; ++k)
        values.push_back(QString::number(low + (high - low) / rings * k, 'f', 2));
    DrawValueLabels(painter, frame, values, ChartFont(labelHeight, 300), text);
}

int CCircleChartCtrl::DrawCurve(QPainter& painter, const QPointF& centre, double radius,
                                qreal penWidth) const {
    const int interval = file_->GetInterval();
    if (interval <= 0 || channel_ < 0 || channel_ >= file_->GetChannelCount()) return 0;
    const auto [start, end] = Span();
    const DialFrame frame{centre, radius, Rings(*file_)};
    return DrawDialCurve(painter, frame, *file_, channel_,
                         kvr::CircleChartSteps(start, end, interval), kStepsPerDay / interval,
                         ColorFromRef(file_->Header().channels[channel_].color), penWidth);
}

void CCircleChartCtrl::Layout() {
    const int w = width(), h = height();
    centre_ = QPointF((w - std::abs(w - h) / 2) / 2, h / 2);
    const int n = std::min(w, h);
    radius_ = (n - n / 10) / 2;
    const qreal ratio = devicePixelRatioF();
    picture_ = QImage(std::max(1, qRound(w * ratio)), std::max(1, qRound(h * ratio)),
                      QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(ButtonFaceColor());
    pointsDrawn_ = 0;
    if (file_) {
        QPainter painter(&picture_);
        const QColor background = ColorFromRef(file_->Header().backgroundColor);
        const QColor text = InverseColor(background);
        painter.fillRect(rect(), background);
        DrawGrid(painter, centre_, radius_, ColorFromRef(file_->Header().gridColor), text,
                 std::max(n / 40, 10), 1.0);
        const auto [start, end] = Span();
        painter.setFont(ChartFont(16));
        painter.setPen(text);
        const QStringList lines = {QStringLiteral("通道%1").arg(channel_ + 1),
                                   QStringLiteral("量程:%1~%2")
                                       .arg(file_->GetRangeLow(channel_), 0, 'f', 3)
                                       .arg(file_->GetRangeHigh(channel_), 0, 'f', 3),
                                   QStringLiteral("时间范围:"), TimeText(start),
                                   QStringLiteral("=>") + TimeText(end)};
        // Right of the chart, but never cut by the window's right edge.
        const QFontMetrics metrics(painter.font());
        int textWidth = 0;
        for (const QString& line : lines)
            textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
        const int x =
            std::min(static_cast<int>(centre_.x() + radius_ + radius_ / (Rings(*file_) + 1) + 10),
                     w - textWidth - 8);
        for (int k = 0; k < lines.size(); ++k) painter.drawText(QPoint(x, 30 + 22 * k), lines[k]);
        pointsDrawn_ = DrawCurve(painter, centre_, radius_, 1.0);
    }
    update();
}

void CCircleChartCtrl::Print(QPainter& painter, const QRect& page) const {
    if (!file_) return;
    painter.save();
    painter.fillRect(page, Qt::white);
    // The chart takes the left part of the page, the rotated texts a strip at the right.
    const int textStrip = page.width() / 8;
    const QRect area(page.left(), page.top(), page.width() - textStrip, page.height());
    const int n = std::min(area.width(), area.height());
    const double radius = (n - n / 10) / 2.0;
    const QPointF centre(area.center().x(), area.center().y());
    const qreal scale = std::max(1.0, n / 800.0);
    DrawGrid(painter, centre, radius, Qt::black, Qt::black, std::max(n / 45, 8), scale);
    DrawCurve(painter, centre, radius, scale);

    const auto [start, end] = Span();
    const QStringList lines = {
        QStringLiteral("操 作 者:_______________________"),
        QStringLiteral("打印时间:") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        QStringLiteral("时间范围:") + TimeText(start),
        QStringLiteral("=>") + QString::fromStdString(kvr::FormatTime(end))
                                   .replace(QLatin1Char(' '), QStringLiteral("   ")),
        QStringLiteral("通     道:通道%1").arg(channel_ + 1)};
    const int lineHeight = textStrip / (lines.size() + 1);
    painter.setPen(Qt::black);
    painter.setFont(ChartFont(std::max(lineHeight * 6 / 10, 8), 300));
    // Rotated 90° clockwise, reading from the top of the page down.
    for (int k = 0; k < lines.size(); ++k) {
        painter.save();
        painter.translate(page.right() - lineHeight * (k + 1) + lineHeight / 3,
                          page.top() + lineHeight);
        painter.rotate(90);
        painter.drawText(QPoint(0, 0), lines[k]);
        painter.restore();
    }
    painter.restore();
}

void CCircleChartCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
}

void CCircleChartCtrl::resizeEvent(QResizeEvent*) { Layout(); }
