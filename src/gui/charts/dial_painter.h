#pragma once
// The ring-and-spoke construction and the percent-to-radius curve that the live dial and
// the history circular chart share, drawn into any painter (screen layer or printed page).
#include <QColor>
#include <QPainter>
#include <QPointF>
#include <vector>

#include "core/view/chart_geometry.h"

namespace kvr {
class CXFile;
}

struct DialFrame {
    QPointF centre;
    double radius = 0;  // outer circle
    int rings = 10;     // value rings inside the outer circle
    double Spacing() const { return radius / (rings + 1); }
};

// Outer circle, `rings` rings and `spokes` spokes from the innermost ring to the outer
// circle; every `thickEvery`-th spoke (from the top... counted from angle 0) is 2 pixels.
void DrawDialGrid(QPainter& painter, const DialFrame& frame, int spokes, int thickEvery,
                  const QColor& grid, qreal scale = 1.0);
// Labels at the angles of the thick spokes, clockwise from the top, just outside the outer
// circle at `labelRadius`, each turned to follow the circle.
void DrawHourLabels(QPainter& painter, const DialFrame& frame, const std::vector<QString>& labels,
                    double labelRadius, const QFont& font, const QColor& color);
// Value labels on the horizontal radius, one per ring from the centre outwards, turned 45°.
void DrawValueLabels(QPainter& painter, const DialFrame& frame, const std::vector<QString>& labels,
                     const QFont& font, const QColor& color);
// One channel along the given steps: value as percent of range -> radius, step -> angle.
// Points the file does not hold are skipped and the line joins the valid ones.
// Returns the number of points drawn.
int DrawDialCurve(QPainter& painter, const DialFrame& frame, const kvr::CXFile& file, int channel,
                  const std::vector<kvr::DialStep>& steps, long long stepsPerRevolution,
                  const QColor& color, qreal width = 1.0);
// Where a value at `percent` of its range and `step` lands.
QPointF DialPoint(const DialFrame& frame, double percent, long long step,
                  long long stepsPerRevolution);
// Inverse of a colour kept as 0x00BBGGRR.
QColor InverseColor(const QColor& color);
