#pragma once
// CCircleChartCtrl: one channel of a history file over a span as a circular chart, one
// revolution per day, the days drawn over one another; texts at the right. Prints the same
// chart on a page.
#include <QImage>
#include <QWidget>

#include "core/datafile/time.h"

namespace kvr {
class CXFile;
}
class QPainter;

class CCircleChartCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CCircleChartCtrl(QWidget* parent = nullptr);
    void SetFile(kvr::CXFile* file) { file_ = file; }
    void SetChannel(int channel) { channel_ = channel; }
    void SetSpanStart(kvr::Time t) { spanStart_ = t; }
    void SetSpanEnd(kvr::Time t) { spanEnd_ = t; }
    void Layout();
    const QImage& Picture() const { return picture_; }
    QPointF Centre() const { return centre_; }
    double Radius() const { return radius_; }
    // Points of the curve drawn by the last layout (for tests).
    int PointsDrawn() const { return pointsDrawn_; }

    // The chart for paper, into the page rectangle (device pixels).
    void Print(QPainter& painter, const QRect& page) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The span clamped to the file.
    std::pair<kvr::Time, kvr::Time> Span() const;
    int DrawCurve(QPainter& painter, const QPointF& centre, double radius, qreal penWidth) const;
    void DrawGrid(QPainter& painter, const QPointF& centre, double radius, const QColor& grid,
                  const QColor& text, int labelHeight, qreal scale) const;

    kvr::CXFile* file_ = nullptr;
    int channel_ = 0;
    kvr::Time spanStart_ = 0;
    kvr::Time spanEnd_ = 0;
    QPointF centre_;
    double radius_ = 0;
    int pointsDrawn_ = 0;
    QImage picture_;
};
