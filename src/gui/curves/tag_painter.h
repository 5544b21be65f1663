#pragma once
// Tags and value labels over the history curves, drawn into the curve control's plot
// layer after the curves (plot coordinates: 0,0 is the plot's top-left corner).
#include <QColor>
#include <functional>
#include <optional>

#include "core/datafile/cxfile.h"

class LabelPlacer;
class QPainter;

// What the marks need to know of the curve control's current scale.
struct CurvePlotFrame {
    int width = 0;   // plot columns 0 … width
    int height = 0;  // plot rows; values map to height … 0
    kvr::Time windowStart = 0;
    kvr::Time windowEnd = 0;
    double visibleLow = 0.0;
    double visibleHigh = 100.0;
    bool percentMode = true;  // curves show percent of range, else engineering values
    std::function<int(kvr::Time)> timeToPixel;  // the control's own mapping
    std::optional<std::uint32_t> background;    // the file's background when empty
};

// Marks are drawn in the inverse of the file's background colour, and lines merge with
// what lies under them so that they stay visible over curves of any colour. The painter
// must paint on a QImage (raster operations). Texts stay inside the plot and never cover
// each other: one that finds no room is moved a row up or down, or left out.
void DrawTagsAndValueLabels(QPainter& painter, const kvr::CXFile& file,
                            const CurvePlotFrame& frame);
// Alone, or sharing a placer with other texts over the plot.
void DrawTags(QPainter& painter, const kvr::CXFile& file, const CurvePlotFrame& frame,
              LabelPlacer* placer = nullptr);
void DrawValueLabels(QPainter& painter, const kvr::CXFile& file, const CurvePlotFrame& frame,
                     LabelPlacer* placer = nullptr);

// 0xFFFFFF - COLORREF, as a colour.
QColor InverseOfColorref(std::uint32_t colorref);
