#pragma once
// Printed curve pages: one landscape page of what the curve control shows, or a series of
// pages of 2000 records each, on white paper. The curves, axes and grid come from the curve
// renderer; the page adds the legend band at the right (device, print time, time window,
// the shown channels, the page number) and the frame.
#include <QRect>
#include <QString>

#include "core/datafile/time.h"

class CXCurveCtrl;
class QPainter;
class QPrinter;

struct CurvePrintRequest {
    bool continuous = false;
    kvr::Time start = 0;  // continuous: the first record printed
    kvr::Time end = 0;
    int pages = 1;
};

// One page into `page` (device pixels) at `scale` device pixels per screen pixel.
// Continuous prints show the window of page `pageNumber`; others the control's window.
void PrintCurvePage(QPainter& painter, const QRect& page, qreal scale, const CXCurveCtrl& curve,
                    const CurvePrintRequest& request, int pageNumber);
// Every page of the request onto the printer (landscape). False when the printer could
// not be started.
bool PrintCurves(QPrinter& printer, const CXCurveCtrl& curve, const CurvePrintRequest& request);
// The same into a PDF file.
bool PrintCurvesToPdf(const QString& path, const CXCurveCtrl& curve,
                      const CurvePrintRequest& request);
