#pragma once
// The curve of one channel drawn as an envelope: a plot column that covers several records
// runs from the least to the greatest of them, joined to its neighbours, so that a
// one-record excursion stays visible however far the view is zoomed out. A column that
// covers at most one record shows the sample at its time, as the plain curve does.
#include <QColor>
#include <QPolygon>
#include <vector>

#include "core/datafile/time.h"

class QPainter;

namespace kvr {
class CXFile;
class MinMaxPyramid;
class ValueScale;
}  // namespace kvr

struct EnvelopeSource {
    const kvr::CXFile& file;
    const kvr::MinMaxPyramid& pyramid;
    const kvr::ValueScale& scale;
    bool percent = false;  // rows of percent of range, else of engineering values
};

// Appends the points of channel c to points. columnTimes[x] is the time of plot column x;
// it holds one entry more than the plot has columns, the end of the last column.
void AppendEnvelopeLine(const EnvelopeSource& source, int c,
                        const std::vector<kvr::Time>& columnTimes, QPolygon& points);

// Draws what AppendEnvelopeLine produced as the polyline through those points would look,
// but as one filled column a plot column: a stroke joins each column to its neighbour by
// reaching halfway towards it. Filling a column is a fraction of the cost of stroking a
// tall vertical line pixel by pixel, and a zoomed-out noisy curve is all tall strokes.
// Columns further apart than one (no record in between) are joined by a line.
void DrawEnvelope(QPainter& painter, const QPolygon& points, const QColor& color, int width);
