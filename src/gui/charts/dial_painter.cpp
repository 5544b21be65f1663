#include "gui/charts/dial_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/datafile/cxfile.h"

QPointF DialPoint(const DialFrame& frame, double percent, long long step,
                  long long stepsPerRevolution) {
    const double rho = kvr::DialRadius(percent, frame.rings, frame.Spacing());
    const double theta = kvr::DialAngle(step, stepsPerRevolution);
    return {frame.centre.x() + rho * std::cos(theta), frame.centre.y() - rho * std::sin(theta)};
}

QColor InverseColor(const QColor& color) {
    return QColor(255 - color.red(), 255 - color.green(), 255 - color.blue());
}

void DrawDialGrid(QPainter& painter, const DialFrame& frame, int spokes, int thickEvery,
                  const QColor& grid, qreal scale) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    const double spacing = frame.Spacing();
    painter.setPen(QPen(grid, scale));
    for (int k = 0; k <= frame.rings; ++k) {
        const double r = frame.radius - k * spacing;
        painter.drawEllipse(frame.centre, r, r);
    }
    for (int k = 0; k < spokes; ++k) {
        const double angle = k * 2.0 * std::numbers::pi / spokes;
        painter.setPen(QPen(grid, (k % thickEvery == 0 ? 2 : 1) * scale));
        const QPointF direction(std::cos(angle), -std::sin(angle));
        painter.drawLine(frame.centre + direction * spacing,
                         frame.centre + direction * frame.radius);
    }
    painter.restore();
}

void DrawHourLabels(QPainter& painter, const DialFrame& frame, const std::vector<QString>& labels,
                    double labelRadius, const QFont& font, const QColor& color) {
    if (labels.empty()) return;
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    const QFontMetrics metrics(font);
    for (std::size_t k = 0; k < labels.size(); ++k) {
        const double degrees = 360.0 * k / labels.size();  // clockwise from the top
        painter.save();
        painter.translate(frame.centre);
        painter.rotate(degrees);
        const int width = metrics.horizontalAdvance(labels[k]);
        painter.drawText(QPointF(-width / 2.0, -labelRadius + metrics.ascent() / 2.0), labels[k]);
        painter.restore();
    }
    painter.restore();
}

void DrawValueLabels(QPainter& painter, const DialFrame& frame, const std::vector<QString>& labels,
                     const QFont& font, const QColor& color) {
    painter.save();
    painter.setFont(font);
    painter.setPen(color);
    const double spacing = frame.Spacing();
    for (std::size_t k = 0; k < labels.size(); ++k) {
        painter.save();
        painter.translate(frame.centre.x() + k * spacing, frame.centre.y());
        painter.rotate(-45.0);
        painter.drawText(QPointF(0, 0), labels[k]);
        painter.restore();
    }
    painter.restore();
}

int DrawDialCurve(QPainter& painter, const DialFrame& frame, const kvr::CXFile& file, int channel,
                  const std::vector<kvr::DialStep>& steps, long long stepsPerRevolution,
                  const QColor& color, qreal width) {
    if (file.GetRangeHigh(channel) == file.GetRangeLow(channel) || stepsPerRevolution <= 0)
        return 0;
    painter.save();
    painter.setPen(QPen(color, width));
    QPointF previous;
    int drawn = 0;
    for (const kvr::DialStep& step : steps) {
        if (step.time < file.GetStartTime() || step.time > file.GetEndTime()) continue;
        float value = 0.0f, percent = 0.0f;
        if (!file.GetValue(channel, step.time, &value, &percent) || !std::isfinite(percent))
            continue;
        // Far off-scale samples stay near the chart instead of overflowing the coordinates.
        const double shown = std::clamp<double>(percent, -100.0, 200.0);
        const QPointF point = DialPoint(frame, shown, step.step, stepsPerRevolution);
        if (drawn == 0)
            painter.drawPoint(point);
        else
            painter.drawLine(previous, point);
        previous = point;
        ++drawn;
    }
    painter.restore();
    return drawn;
}
